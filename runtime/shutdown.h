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

// Steps 2 to 6 of ending, without leaving the process.
void ShutDownRuntime();

}  // namespace runtime
