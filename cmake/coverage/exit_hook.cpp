// Linked only into coverage builds. ::ExitProcess ends the process without
// running the C run-time's atexit handlers, where libgcov writes its counters;
// a constructor points this executable's import of ExitProcess at a routine
// that writes them first. ::TerminateProcess still loses them.
#include <windows.h>

extern "C" void __gcov_dump(void);

// The import address table's slot that every ::ExitProcess call of this
// executable goes through.
extern "C" decltype(&::ExitProcess) g_importedExitProcess __asm__("__imp__ExitProcess@4");

// Named by the link option that pulls this file into each executable.
extern "C" const int velmora_coverage_exit_hook = 0;

namespace {

decltype(&::ExitProcess) g_exitProcess = nullptr;

void WINAPI WriteCountersAndExit(UINT exitCode) {
    __gcov_dump();
    g_exitProcess(exitCode);
}

__attribute__((constructor)) void RouteExitProcess() {
    DWORD oldProtection = 0;
    if (!::VirtualProtect(&g_importedExitProcess, sizeof g_importedExitProcess, PAGE_READWRITE,
                          &oldProtection)) {
        return;
    }
    g_exitProcess = g_importedExitProcess;
    g_importedExitProcess = WriteCountersAndExit;
    ::VirtualProtect(&g_importedExitProcess, sizeof g_importedExitProcess, oldProtection,
                     &oldProtection);
}

}  // namespace
