#include "runtime/shutdown.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/declared_calls.h"
#include "runtime/hidden_owner.h"
#include "runtime/libraries.h"
#include "runtime/message_loop.h"
#include "runtime/startup.h"
#include "runtime/window_engine.h"

namespace runtime {

namespace {

std::vector<EndRoutine> g_endRoutines;
// Set once the main thread has begun to end the program.
volatile bool g_ending = false;

}  // namespace

void AddEndRoutine(EndRoutine routine) {
    if (std::find(g_endRoutines.begin(), g_endRoutines.end(), routine) == g_endRoutines.end()) {
        g_endRoutines.push_back(routine);
    }
}

void ShutDownRuntime() {
    g_ending = true;
    DropIdleCallbacks();

    // Routines may register others while they run; only those registered before
    // the end run, each with its position.
    const std::vector<EndRoutine> routines = std::move(g_endRoutines);
    g_endRoutines.clear();
    for (size_t i = 0; i < routines.size(); ++i) routines[i](static_cast<int32_t>(i));

    EndLibraries();
    FreeDeclaredCallModules();
    if (const WindowEngine* engine = AttachedWindowEngine()) engine->releaseIcons();
    EndOleSession();
}

void EndProgramAfterError(int32_t exitCode) {
    g_ending = true;
    ::ExitProcess(static_cast<UINT>(exitCode));
}

void EndProgram(int32_t exitCode) {
    const DWORD mainThread = MainThreadId();
    if (mainThread && ::GetCurrentThreadId() != mainThread) {
        if (HWND owner = HiddenOwner()) {
            ::SendMessageA(owner, kEndProgramMessage, static_cast<WPARAM>(exitCode), 0);
        }
        if (!g_ending) ::ExitProcess(static_cast<UINT>(exitCode));
        return;
    }
    ShutDownRuntime();
    ::ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace runtime
