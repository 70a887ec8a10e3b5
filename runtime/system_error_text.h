// The system's own words for an error code, in the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/values.h"

namespace runtime {

// The message of `code` from `module`'s message table, else from the
// system's, without its line end; empty when neither has one.
std::string SystemErrorText(DWORD code, HMODULE module = nullptr);

// () -> text: the system's words for the calling thread's last error, as the
// system call just before left it; empty when it has none.
void LastErrorText(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
