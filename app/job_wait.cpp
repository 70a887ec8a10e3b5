#include "app/job_wait.h"

#include <windows.h>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/log.h"
#include "app/units.h"
#include "net/transfer_stop.h"
#include "ui/close_requests.h"
#include "ui/window_commands.h"

namespace app {

namespace {

std::string g_directory;  // the job folder, ending with a backslash
bool g_stopping = false;

}  // namespace

void JobBegins(const std::string& directory) { g_directory = directory; }

bool WhileJobWaits() {
    FlushLogIfDue();
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    const auto request =
        static_cast<ui::CloseRequest>(CallCoreCommand(ui::HandleWaitingMessages, 0, none).low);
    if (!g_stopping && (request == ui::CloseRequest::kSessionEnding ||
                        (request == ui::CloseRequest::kAsked &&
                         AskYesNo(Constants().quitQuestion + g_directory)))) {
        g_stopping = true;
        net::StopTransfers();
    }
    return !g_stopping;
}

bool JobStopping() { return g_stopping; }

void JobEnds() {
    if (!g_stopping) return;
    const ConstantTexts& k = Constants();
    Log(k.logJobStopped + g_directory + k.lineBreak);
    FlushLog();
    const runtime::ArgRecord main[] = {UnitArg(windows::kMainWindow)};
    ::PostMessageA(reinterpret_cast<HWND>(CallCore(ui::WindowHandleOf, main).low), WM_CLOSE, 0, 0);
}

}  // namespace app
