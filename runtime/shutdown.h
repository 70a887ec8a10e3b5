// Orderly end of the program, on the main thread.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace runtime {

// Ends the process with exitCode after running the end routines and releasing
// what the runtime holds. Called from another thread, it hands the request to
// the main thread and returns only if the main thread is already ending.
void EndProgram(int32_t exitCode);

// Ends the process with exitCode at once, from any thread, after a run-time
// error: no end routine runs and nothing is released, since what they would
// touch may be what failed, and a worker may still be inside a module. The
// main thread is not asked: it may be waiting for the very thread that failed.
[[noreturn]] void EndProgramAfterError(int32_t exitCode);

// Appends routine to the end routines unless it is already there.
void AddEndRoutine(EndRoutine routine);

// Everything EndProgram does but leaving the process: idle callbacks dropped,
// end routines run, libraries told, declared-call modules freed, OLE released.
void ShutDownRuntime();

}  // namespace runtime
