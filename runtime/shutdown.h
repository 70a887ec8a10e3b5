// Orderly end of the program, on the main thread.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace runtime {

// Ends the process with exitCode after running the end routines and releasing
// what the runtime holds. Called from another thread, it hands the request to
// the main thread and returns only if the main thread is already ending.
void EndProgram(int32_t exitCode);

// Appends routine to the end routines unless it is already there.
void AddEndRoutine(EndRoutine routine);
// After a run-time error no end routine runs: what they would clean up may be
// what failed.
void DropEndRoutines();

// Everything EndProgram does but leaving the process: idle callbacks dropped,
// end routines run, libraries told, declared-call modules freed, OLE released.
void ShutDownRuntime();

}  // namespace runtime
