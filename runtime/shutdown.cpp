#include "runtime/shutdown.h"

#include <windows.h>
#include <ole2.h>

#include <algorithm>

#include "runtime/declared_calls.h"
#include "runtime/hidden_owner.h"
#include "runtime/runtime_state.h"

namespace runtime {

void AddEndRoutine(EndRoutine routine) {
    auto& routines = State().endRoutines;
    if (std::find(routines.begin(), routines.end(), routine) == routines.end()) {
        routines.push_back(routine);
    }
}

void ShutDownRuntime() {
    RuntimeState& state = State();
    state.ending = true;
    state.idleCallbacks.clear();

    // Routines may register others while they run; only those registered before
    // the end run, each with its position.
    const std::vector<EndRoutine> routines = std::move(state.endRoutines);
    state.endRoutines.clear();
    for (size_t i = 0; i < routines.size(); ++i) routines[i](static_cast<int32_t>(i));

    for (size_t i = 0; i < state.libraries.size(); ++i) {
        const LibraryDescriptor* library = state.libraries[i];
        if (library && library->notify) library->notify(library_notify::kEnd, state.libraryData[i], 0);
    }
    state.libraries.clear();
    state.libraryData.clear();

    FreeDeclaredCallModules();

    if (state.oleInitialised) {
        ::OleUninitialize();
        state.oleInitialised = false;
    }
}

void EndProgram(int32_t exitCode) {
    RuntimeState& state = State();
    if (state.mainThreadId && ::GetCurrentThreadId() != state.mainThreadId) {
        if (state.hiddenOwner) {
            ::SendMessageA(state.hiddenOwner, kEndProgramMessage, static_cast<WPARAM>(exitCode), 0);
        }
        if (!state.ending) ::ExitProcess(static_cast<UINT>(exitCode));
        return;
    }
    ShutDownRuntime();
    ::ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace runtime
