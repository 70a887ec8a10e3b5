// The process entry: run the application's start-up routine once, then end the
// program with exit code 0. The start-up routine runs the program's whole life,
// message loop included.
#include <windows.h>

#include "runtime/shutdown.h"
#include "runtime/startup.h"

// Provided by the application.
extern "C" const runtime::AppHeader g_appHeader;
extern "C" int32_t AppStartup();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    runtime::AttachApplication(g_appHeader);
    AppStartup();
    runtime::EndProgram(0);
    return 0;
}
