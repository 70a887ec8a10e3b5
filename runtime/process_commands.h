// Running another program and collecting what it prints.
#pragma once

#include "runtime/values.h"

namespace runtime {

// (command line, [stdout text variable], [stderr text variable], [exit-code
// integer variable]) -> logical. Runs the program hidden and waits for it,
// draining its output pipes while it runs so that it never blocks on them.
void RunAndCapture(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
