#include "runtime/command_calls.h"

namespace runtime {

namespace {

// Library index of the command running through CallLibraryCommand.
int32_t g_callingLibrary = kNoCallingLibrary;

}  // namespace

ArgRecord CallCoreCommand(CommandFunction command, int32_t argCount, const ArgRecord* args) {
    ArgRecord result = {0, 0, 0};
    command(&result, argCount, args);
    return result;
}

ArgRecord CallLibraryCommand(int32_t libraryIndex, CommandFunction command, int32_t argCount,
                             const ArgRecord* args) {
    const int32_t outer = g_callingLibrary;
    g_callingLibrary = libraryIndex;
    ArgRecord result = {0, 0, 0};
    command(&result, argCount, args);
    g_callingLibrary = outer;
    return result;
}

int32_t CallingLibrary() { return g_callingLibrary; }

}  // namespace runtime
