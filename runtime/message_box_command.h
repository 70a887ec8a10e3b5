// The message box command.
#pragma once

#include "runtime/values.h"

namespace runtime {

// (content, button and icon flags, [caption], [owner window]) -> integer: the
// pressed button, OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6.
void ShowMessageBox(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
