#include "tests/support/child_process.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace driver {

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& workingDirectory) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                          &info_)) {
        info_ = {};
    }
}

ChildProcess::~ChildProcess() {
    if (!info_.hProcess) return;
    if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info_.hProcess, 1);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs) {
    if (!info_.hProcess) return STILL_ACTIVE;
    if (::WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        ::TerminateProcess(info_.hProcess, 1);
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::string ProgramDirectory() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory = path;
    return directory.substr(0, directory.rfind('\\') + 1);
}

std::string MakeTempDirectory() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(sizeof base, base);
    for (unsigned attempt = ::GetTickCount();; ++attempt) {
        const std::string path = std::string(base) + "velmora-" +
                                 std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(attempt);
        if (::CreateDirectoryA(path.c_str(), nullptr)) return path;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace driver
