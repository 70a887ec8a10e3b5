// From the process entry to a running application: installing the service
// table, the NotifyRuntime service and runtime initialisation.
#pragma once

#include <cstdint>

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

// A support library's requests to the runtime arrive here (codes in
// library_callback); the callback is handed to every library at start-up.
uint32_t LibraryCallback(int32_t code, uint32_t arg1, uint32_t arg2);

}  // namespace runtime
