// From the process entry to a running application: installing the service
// table, the NotifyRuntime service and runtime initialisation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/app_header.h"

namespace runtime {

// Records the header and fills the service table that stands just before the
// application's constant block. Runs before the application's start-up routine.
void AttachApplication(const AppHeader& header);

// Notification 6: heap, header words, OLE, run directory, hidden owner, main
// thread, constant block, declared calls, support libraries, window templates.
void InitialiseRuntime();

// The NotifyRuntime service; further arguments depend on the code.
uint32_t NotifyRuntime(int32_t code, ...);

// The program's directory, without a trailing backslash; empty before start-up.
const std::string& ProgramRunDirectory();
// The thread that ran start-up; 0 before.
DWORD MainThreadId();
// Part of the end of the program: OLE is released.
void EndOleSession();

}  // namespace runtime
