// The properties the handlers read and write on the main window's units.
#pragma once

#include <cstdint>

#include "app/owned_values.h"

namespace app {

void SetDisabled(uint32_t unitId, bool disabled);
// The content of an edit box of the main window.
OwnedText ContentOf(uint32_t editBoxId);
void SetContent(uint32_t editBoxId, const char* text);
// Drops the clicks and keys that arrived while a handler held the window's
// thread: the window system would hand them over once the handler returns,
// and a click on a button that was disabled meanwhile would start its job.
void DiscardInputMeanwhile();

}  // namespace app
