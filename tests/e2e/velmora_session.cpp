#include "tests/e2e/velmora_session.h"

#include <algorithm>
#include <cctype>

#include "tests/support/window_driver.h"

namespace e2e {

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kPollMs = 20;

// The build puts the program in app/ and the test programs, with their copy
// of the tool, in tests/bin/.
std::string BuiltProgram() { return driver::ProgramDirectory() + "..\\..\\app\\Velmora.exe"; }
std::string BuiltTool() { return driver::ProgramDirectory() + "tool\\ffmpeg.exe"; }

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA entry;
    HANDLE search = ::FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = directory + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &entry));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(directory.c_str());
}

bool ReadNumber(const std::string& text, size_t& at, char end, int limit) {
    const size_t start = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    const size_t digits = at - start;
    if (digits == 0 || digits > 2 || at >= text.size() || text[at] != end) return false;
    if (digits == 2 && text[start] == '0') return false;
    const bool inRange = std::stoi(text.substr(start, digits)) < limit;
    ++at;
    return inRange;
}

}  // namespace

RunDirectory::RunDirectory(const std::string& name) : parent_(driver::MakeTempDirectory()) {
    if (parent_.empty()) return;
    path_ = parent_ + "\\" + name;
    ok_ = ::CreateDirectoryA(path_.c_str(), nullptr) &&
          ::CreateDirectoryA((path_ + "\\tool").c_str(), nullptr) &&
          ::CopyFileA(BuiltProgram().c_str(), (path_ + "\\Velmora.exe").c_str(), FALSE) &&
          ::CopyFileA(BuiltTool().c_str(), (path_ + "\\tool\\ffmpeg.exe").c_str(), FALSE);
}

RunDirectory::RunDirectory(Adopted, const std::string& path) : path_(path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    ok_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<RunDirectory> RunDirectory::Existing(const std::string& path) {
    return std::unique_ptr<RunDirectory>(new RunDirectory(Adopted{}, path));
}

RunDirectory::~RunDirectory() {
    if (!parent_.empty() && !keep_) RemoveTree(parent_);
}

Velmora::Velmora(const RunDirectory& run)
    : process_(std::make_unique<driver::ChildProcess>("\"" + run.path() + "\\Velmora.exe\"",
                                                      run.path())) {
    if (process_->started()) {
        main_ = driver::WaitForWindow(process_->id(), windows::kMainWindow.title, kStartTimeoutMs);
    }
}

Velmora::~Velmora() {
    if (main_ && ::IsWindow(main_)) Close();
}

std::string Velmora::Text(const windows::Unit& unit, DWORD timeoutMs) const {
    HWND control = Control(unit);
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeoutMs, &length)) {
        return {};
    }
    // The length is an upper bound: the text may be counted in wide characters.
    std::string text(length * 2 + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                          SMTO_NORMAL, timeoutMs, &copied);
    text.resize(std::min<size_t>(copied, text.size()));
    return text.c_str();
}

void Velmora::SetText(const windows::Unit& unit, const std::string& text) const {
    ::SendMessageTimeoutA(Control(unit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_NORMAL, 10000, nullptr);
}

bool Velmora::Press(const windows::Unit& unit) const {
    if (!Enabled(unit)) return false;
    // Posted: the handler it starts runs for as long as its job takes.
    return ::PostMessageA(Control(unit), BM_CLICK, 0, 0) != FALSE;
}

bool Velmora::WaitForLog(const std::string& text, DWORD timeoutMs, size_t from) const {
    const DWORD start = ::GetTickCount();
    while (Log().find(text, from) == std::string::npos) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(kPollMs);
    }
    return true;
}

bool Velmora::WaitUntilEnabled(const windows::Unit& unit, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (!Enabled(unit)) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(kPollMs);
    }
    return true;
}

HWND Velmora::WaitForBox(const std::string& caption, DWORD timeoutMs) const {
    return driver::WaitForWindow(process_->id(), caption, timeoutMs);
}

DWORD Velmora::Close() {
    ::PostMessageA(main_, WM_CLOSE, 0, 0);
    main_ = nullptr;
    return process_->WaitForExit(kStartTimeoutMs);
}

bool IsLogStamp(const std::string& stamp) {
    size_t at = 1;
    return stamp.size() >= 7 && stamp[0] == '[' && ReadNumber(stamp, at, ':', 24) &&
           ReadNumber(stamp, at, ':', 60) && ReadNumber(stamp, at, ']', 60) && at == stamp.size();
}

std::vector<std::string> Messages(const std::string& log, std::vector<std::string>* badStamps) {
    std::vector<std::string> messages;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        start = end + 2;
        const size_t close = line.find(']');
        // A stamp holds digits and colons only; the tool's "[concat @ ...]" is no stamp.
        if (line.empty() || line[0] != '[' || close == std::string::npos ||
            line.find_first_not_of("0123456789:", 1) != close) {
            continue;
        }
        const std::string stamp = line.substr(0, close + 1);
        if (badStamps && !IsLogStamp(stamp)) badStamps->push_back(stamp);
        messages.push_back(line.substr(close + 1));
    }
    return messages;
}

std::string MessageAfter(const std::vector<std::string>& messages, const std::string& prefix) {
    for (const std::string& message : messages) {
        if (message.compare(0, prefix.size(), prefix) == 0) return message.substr(prefix.size());
    }
    return {};
}

std::vector<std::string> DirectoryNames(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = ::FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

}  // namespace e2e
