#include "runtime/process_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/owned.h"

namespace runtime {

namespace {

constexpr DWORD kReadChunk = 1024;
constexpr DWORD kPipeBuffer = 64 * 1024;
constexpr DWORD kProcessWaitMs = 100;

struct OutputPipe {
    UniqueHandle read;
    UniqueHandle write;  // the child's end; the parent closes it once the child has it
    std::string collected;
};

bool CreateOutputPipe(OutputPipe& pipe) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    if (!::CreatePipe(pipe.read.Put(), pipe.write.Put(), &inheritable, kPipeBuffer)) return false;
    // Only the write end goes to the child: a read end it inherited would keep
    // the pipe open after we stop reading.
    ::SetHandleInformation(pipe.read.get(), HANDLE_FLAG_INHERIT, 0);
    return true;
}

// Takes what is waiting; closes the pipe once its writers are gone. Returns
// whether anything was read.
bool Drain(OutputPipe& pipe) {
    bool readSomething = false;
    char buffer[kReadChunk];
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe.read.get(), nullptr, 0, nullptr, &available, nullptr)) {
            pipe.read.Reset();
            return readSomething;
        }
        if (available == 0) return readSomething;
        DWORD read = 0;
        if (!::ReadFile(pipe.read.get(), buffer, available < kReadChunk ? available : kReadChunk,
                        &read, nullptr) ||
            read == 0) {
            pipe.read.Reset();
            return readSomething;
        }
        pipe.collected.append(buffer, read);
        readSomething = true;
    }
}

void StoreCaptured(char** variable, const std::string& text, bool appendToExisting) {
    if (appendToExisting && *variable && **variable) {
        const std::string joined = *variable + std::string("\r\n") + text;
        StoreText(variable, NewText(joined.data(), joined.size()));
        return;
    }
    StoreText(variable, NewText(text.data(), text.size()));
}

}  // namespace

void RunAndCapture(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    char** outputVariable = IsGiven(argCount, args, 1) ? VariableArgument<char*>(args[1]) : nullptr;
    char** errorVariable = IsGiven(argCount, args, 2) ? VariableArgument<char*>(args[2]) : nullptr;
    int32_t* exitCodeVariable =
        IsGiven(argCount, args, 3) ? VariableArgument<int32_t>(args[3]) : nullptr;

    for (char** variable : {outputVariable, errorVariable}) {
        if (variable) StoreText(variable, nullptr);
    }
    if (exitCodeVariable) *exitCodeVariable = -1;

    const char* commandLine = TextArgument(args[0]);
    if (!*commandLine) return;

    OutputPipe output, error;
    if ((outputVariable && !CreateOutputPipe(output)) ||
        (errorVariable && !CreateOutputPipe(error))) {
        return;
    }

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
        return;
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    output.write.Reset();
    error.write.Reset();

    bool ended = false;
    for (;;) {
        bool anyOpen = false;
        bool readSomething = false;
        for (OutputPipe* pipe : {&output, &error}) {
            if (!pipe->read) continue;
            readSomething |= Drain(*pipe);
            anyOpen |= static_cast<bool>(pipe->read);
        }
        if (!anyOpen && ended) break;
        if (!ended) {
            // A busy child gets no pause: its pipe may be full again already.
            ended = ::WaitForSingleObject(process.get(), readSomething ? 0 : kProcessWaitMs) ==
                    WAIT_OBJECT_0;
        } else if (!readSomething) {
            ::Sleep(1);  // a grandchild still holds a pipe open
        }
    }

    if (outputVariable) StoreCaptured(outputVariable, output.collected, false);
    if (errorVariable)
        StoreCaptured(errorVariable, error.collected, errorVariable == outputVariable);
    if (exitCodeVariable) {
        DWORD code = 0;
        *exitCodeVariable =
            ::GetExitCodeProcess(process.get(), &code) ? static_cast<int32_t>(code) : 0;
    }
    SetLogical(result, true);
}

}  // namespace runtime
