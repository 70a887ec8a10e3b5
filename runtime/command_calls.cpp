#include "runtime/command_calls.h"

#include "runtime/runtime_state.h"

namespace runtime {

ArgRecord CallCoreCommand(CommandFunction command, int32_t argCount, const ArgRecord* args) {
    ArgRecord result = {0, 0, 0};
    command(&result, argCount, args);
    return result;
}

ArgRecord CallLibraryCommand(int32_t libraryNumber, CommandFunction command, int32_t argCount,
                             const ArgRecord* args) {
    RuntimeState& state = State();
    const int32_t outer = state.callingLibrary;
    state.callingLibrary = libraryNumber;
    ArgRecord result = {0, 0, 0};
    command(&result, argCount, args);
    state.callingLibrary = outer;
    return result;
}

int32_t CallingLibrary() { return State().callingLibrary; }

}  // namespace runtime
