#include "app/pasted_request.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "app/curl_command.h"
#include "app/data/app_image.h"
#include "app/log.h"
#include "app/units.h"
#include "net/request_headers.h"
#include "ui/unit_support.h"

namespace app {

namespace {

const ConstantTexts& K() { return Constants(); }

std::string Names(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += K().listSeparator;
        joined += name;
    }
    return joined;
}

const char* ProblemText(CurlProblem problem) {
    switch (problem) {
        case CurlProblem::kUnbalancedQuotes:
            return K().curlUnbalancedQuotes;
        case CurlProblem::kNoAddress:
            return K().curlNoAddress;
        case CurlProblem::kCookieFile:
            return K().curlCookieFile;
        case CurlProblem::kMissingValue:
            return K().curlMissingValue;
        case CurlProblem::kNone:
            break;
    }
    return K().empty;
}

// Names only: a header's value may be a login.
void LogCommand(const CurlCommand& command) {
    Log(K().logCurlAddress + command.address + K().lineBreak);
    std::vector<std::string> headerNames;
    for (const net::RequestHeader& header : command.headers) headerNames.push_back(header.name);
    if (!headerNames.empty()) Log(K().logCurlHeaders + Names(headerNames) + K().lineBreak);
    if (!command.programsOwn.empty()) {
        Log(K().logCurlProgramsOwn + Names(command.programsOwn) + K().lineBreak);
    }
    if (!command.ignored.empty()) Log(K().logCurlIgnored + Names(command.ignored) + K().lineBreak);
}

constexpr UINT_PTR kPasteSubclass = 1;

LRESULT CALLBACK AddressBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_PASTE) {
        const std::string text = ui::ClipboardText(box);
        if (IsCurlCommand(text)) {
            // A command stands alone: it replaces what the box held.
            const std::string line = JoinCommandLines(text);
            ::SendMessageA(box, EM_SETSEL, 0, -1);
            ::SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(box, &AddressBoxProc, kPasteSubclass);
    }
    return ::DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

bool AddressToRead(std::string* address) {
    *address = ContentOf(windows::kAddressBox).c_str();
    if (!IsCurlCommand(*address)) {
        net::UseRequestHeaders({});
        return true;
    }
    CurlCommand command = ReadCurlCommand(*address);
    if (command.problem != CurlProblem::kNone) {
        net::UseRequestHeaders({});
        Log(K().logCurlUnreadable + std::string(ProblemText(command.problem)) + K().lineBreak);
        return false;
    }
    LogCommand(command);
    *address = command.address;
    net::UseRequestHeaders(net::RequestHeaders(std::move(command.headers), *address));
    return true;
}

void KeepPastedCommandsWhole(HWND addressBox) {
    ::SetWindowSubclass(addressBox, &AddressBoxProc, kPasteSubclass, 0);
}

}  // namespace app
