#include "runtime/process_commands.h"

#include <windows.h>

#include <string>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/piped_process.h"

namespace runtime {

namespace {

constexpr DWORD kProcessWaitMs = 100;

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

    const UniqueHandle process = StartWithPipes(commandLine, output, error);
    if (!process) return;

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
    if (exitCodeVariable) *exitCodeVariable = ExitCodeOf(process.get());
    SetLogical(result, true);
}

}  // namespace runtime
