// A whole program on the runtime, started by the process tests with a
// scenario name and, for most scenarios, a file to write what happened into:
//   start-up                the standard start-up; no window template exists
//   end-routines FILE       end routines registered, the only window closed
//   cross-thread-end FILE   another thread ends the program with code 7
//   closed-before-loop FILE  a window destroyed before the loop starts ends nothing
//   idle FILE               idle callbacks: one of a live window, one of a gone one
//   error-hook FILE         a run-time error caught by the hook
//   hook-raises             the hook itself raises an error: no second hook call
//   stack-mismatch FILE     a declared call given one argument too few
//   missing-entry FILE      declared calls whose entries do not exist
//   alloc-failure FILE      a block the heap cannot give
//   worker-error FILE       a worker thread fails to allocate while the main
//                           thread, a window loaded, waits for it
//   declared-calls FILE     results of declared calls that bind
//   current-directory FILE  the current directory after start-up
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/calls.h"
#include "app/runtime_entries.h"
#include "runtime/error_reporter.h"
#include "runtime/message_loop.h"
#include "tests/support/test_app.h"

namespace {

constexpr uint32_t kStartupWindowId = 0x52010001;
std::string g_reportPath;

void Record(const std::string& line) {
    if (FILE* file = std::fopen(g_reportPath.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

void EndRoutineA(int32_t position) { Record("A" + std::to_string(position)); }
void EndRoutineB(int32_t position) { Record("B" + std::to_string(position)); }
void EndRoutineC(int32_t position) { Record("C" + std::to_string(position)); }

// Raising inside the hook must reach the dialog, not the hook again.
int32_t RaisingHook(int32_t, const char*) { RaiseRuntimeError(1); }

DWORD g_mainThread;
void EndRoutineThread(int32_t) {
    Record(::GetCurrentThreadId() == g_mainThread ? "main thread" : "other thread");
}

int32_t RecordingHook(int32_t code, const char* message) {
    Record("hook " + std::to_string(code) + " " + message);
    return 1;
}

// A plain top-level window that stands for a loaded window: the runtime hears
// of its creation and destruction as the window engine tells it.
constexpr UINT kRecordAliveMessage = WM_APP + 1;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) runtime::LoadedWindowDestroyed(window);
    if (message == kRecordAliveMessage) {
        Record("still running");
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateLoadedWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraScenarioWindow";
    ::RegisterClassA(&windowClass);
    HWND window =
        ::CreateWindowExA(0, windowClass.lpszClassName, "scenario", WS_OVERLAPPEDWINDOW, 10, 10,
                          200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    runtime::AddLoadedWindow(window);
    return window;
}

// Runs when the queue is empty; the first call closes the window.
void IdleOfLiveWindow(uint32_t data) {
    static bool called = false;
    if (called) return;
    called = true;
    Record("idle " + std::to_string(data));
    ::PostMessageA(reinterpret_cast<HWND>(static_cast<uintptr_t>(data)), WM_CLOSE, 0, 0);
}

void IdleOfGoneWindow(uint32_t) { Record("idle of a gone window"); }

DWORD WINAPI AllocateTooMuch(LPVOID) {
    AllocMemory(0x7FFFFFF0);
    return 0;
}

DWORD WINAPI EndFromOtherThread(LPVOID) {
    ::Sleep(100);
    EndProgram(7);
    return 0;
}

void RunScenario(const std::string& scenario) {
    using test_app::TestCall;
    if (scenario == "start-up") {
        LoadWindow(kStartupWindowId);
    } else if (scenario == "end-routines") {
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineA);
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineB);
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineA);
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineC);
        ::PostMessageA(CreateLoadedWindow(), WM_CLOSE, 0, 0);
        RunMessageLoop();
        Record("loop left");
    } else if (scenario == "cross-thread-end") {
        g_mainThread = ::GetCurrentThreadId();
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineThread);
        CreateLoadedWindow();
        ::CloseHandle(::CreateThread(nullptr, 0, EndFromOtherThread, nullptr, 0, nullptr));
        RunMessageLoop();
        Record("loop left");
    } else if (scenario == "closed-before-loop") {
        ::DestroyWindow(CreateLoadedWindow());
        ::PostMessageA(CreateLoadedWindow(), kRecordAliveMessage, 0, 0);
        RunMessageLoop();
        Record("loop left");
    } else if (scenario == "idle") {
        HWND window = CreateLoadedWindow();
        HWND gone =
            ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        runtime::AddIdleCallback(gone, IdleOfGoneWindow, 0);
        ::DestroyWindow(gone);
        runtime::AddIdleCallback(window, IdleOfLiveWindow,
                                 static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
        RunMessageLoop();
        Record("loop left");
    } else if (scenario == "error-hook") {
        NotifyRuntime(runtime::notify::kAddEndRoutine, &EndRoutineA);
        runtime::SetErrorHook(RecordingHook);
        RaiseRuntimeError(4);
    } else if (scenario == "hook-raises") {
        runtime::SetErrorHook(RaisingHook);
        RaiseRuntimeError(4);
    } else if (scenario == "stack-mismatch") {
        runtime::SetErrorHook(RecordingHook);
        Record("sum " + std::to_string(app::CallDeclared(test_app::kTakesTwo, 2, 3)));
        app::CallDeclared(test_app::kTakesTwo, 2);
        Record("not reached");
    } else if (scenario == "missing-entry") {
        runtime::SetErrorHook(RecordingHook);
        app::CallDeclared(test_app::kMissingEntry);
    } else if (scenario == "missing-anywhere") {
        runtime::SetErrorHook(RecordingHook);
        app::CallDeclared(test_app::kMissingAnywhere);
    } else if (scenario == "alloc-failure") {
        runtime::SetErrorHook(RecordingHook);
        AllocMemory(0x7FFFFFF0);
        Record("not reached");
    } else if (scenario == "worker-error") {
        CreateLoadedWindow();
        // As a handler that waits for its worker, without handling messages.
        const HANDLE worker = ::CreateThread(nullptr, 0, AllocateTooMuch, nullptr, 0, nullptr);
        ::WaitForSingleObject(worker, INFINITE);
        Record("not reached");
    } else if (scenario == "new-failure") {
        runtime::SetErrorHook(RecordingHook);
        Record(std::to_string(std::vector<char>(0x7FFFFFF0).size()));
    } else if (scenario == "declared-calls") {
        Record("ordinal " + std::to_string(app::CallDeclared(test_app::kOrdinalSeventeen)));
        Record("beside " +
               std::to_string(app::CallDeclared(test_app::kVersionBeside, "x", nullptr)));
    } else if (scenario == "current-directory") {
        char directory[MAX_PATH] = {};
        ::GetCurrentDirectoryA(sizeof directory, directory);
        Record(directory);
    }
}

}  // namespace

extern "C" int32_t AppStartup() {
    NotifyRuntime(runtime::notify::kInitialise);
    const std::string scenario = __argc > 1 ? __argv[1] : "";
    g_reportPath = __argc > 2 ? __argv[2] : "";
    RunScenario(scenario);
    return 0;
}
