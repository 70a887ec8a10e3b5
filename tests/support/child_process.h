// A program of ours started as its own process, for tests that need its exit.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

class ChildProcess {
  public:
    // commandLine starts with the program's path; workingDirectory may be empty.
    ChildProcess(const std::string& commandLine, const std::string& workingDirectory = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    // The exit code, or STILL_ACTIVE after timeoutMs (the process is then killed).
    DWORD WaitForExit(DWORD timeoutMs);

  private:
    PROCESS_INFORMATION info_ = {};
};

// Directory of the running test program, with a trailing backslash.
std::string ProgramDirectory();
// A new empty directory under the temporary directory.
std::string MakeTempDirectory();
std::string ReadWholeFile(const std::string& path);

}  // namespace driver
