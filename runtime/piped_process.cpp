#include "runtime/piped_process.h"

#include <vector>

namespace runtime {

namespace {

constexpr DWORD kReadChunk = 1024;
constexpr DWORD kPipeBuffer = 64 * 1024;

}  // namespace

bool CreateOutputPipe(OutputPipe& pipe) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    if (!::CreatePipe(pipe.read.Put(), pipe.write.Put(), &inheritable, kPipeBuffer)) return false;
    // Only the write end goes to the child: a read end it inherited would keep
    // the pipe open after we stop reading.
    ::SetHandleInformation(pipe.read.get(), HANDLE_FLAG_INHERIT, 0);
    return true;
}

UniqueHandle StartWithPipes(const char* commandLine, OutputPipe& output, OutputPipe& error) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = output.write.get();
    startup.hStdError = error.write.get();
    std::vector<char> mutableLine(commandLine, commandLine + lstrlenA(commandLine) + 1);
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return UniqueHandle();
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    output.write.Reset();
    error.write.Reset();
    return process;
}

bool Drain(OutputPipe& pipe) {
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe.read.get(), nullptr, 0, nullptr, &available, nullptr)) {
        pipe.read.Reset();
        return false;
    }
    const size_t before = pipe.collected.size();
    char buffer[kReadChunk];
    while (available > 0) {
        DWORD read = 0;
        if (!::ReadFile(pipe.read.get(), buffer, available < kReadChunk ? available : kReadChunk,
                        &read, nullptr) ||
            read == 0) {
            pipe.read.Reset();
            break;
        }
        pipe.collected.append(buffer, read);
        available -= read;
    }
    return pipe.collected.size() > before;
}

int32_t ExitCodeOf(HANDLE process) {
    DWORD code = 0;
    return ::GetExitCodeProcess(process, &code) ? static_cast<int32_t>(code) : 0;
}

}  // namespace runtime
