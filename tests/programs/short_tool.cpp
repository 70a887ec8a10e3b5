// A merge tool that cuts its video short and still ends well, as a tool that
// stops at a segment it cannot read does: runs ffmpeg-whole.exe beside it
// with the same arguments and "-t 2" before the last one (the output).
#include <windows.h>

#include <string>

int main() {
    const std::string line = ::GetCommandLineA();
    // The program's own name, quoted, comes first; the output is quoted last.
    const size_t arguments = line.find('"', 1) + 1;
    const size_t output = line.rfind(" \"");
    if (arguments == 0 || output == std::string::npos || output < arguments) return 2;
    char self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string whole(self, length);
    whole = whole.substr(0, whole.rfind('\\') + 1) + "ffmpeg-whole.exe";
    std::string command = "\"" + whole + "\"" + line.substr(arguments, output - arguments) +
                          " -t 2" + line.substr(output);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return 3;
    }
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(started.hProcess, &code);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return static_cast<int>(code);
}
