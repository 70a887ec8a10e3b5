// The windows and units of the application's templates (window_names.h, made
// from app/data/windows.tpl) and the properties the handlers read and write.
#pragma once

#include <cstdint>
#include <string>

#include "app/owned_values.h"
#include "runtime/values.h"
#include "window_names.h"

namespace app {

// A unit, or a window as its own unit, as a command argument: window id, unit
// id, type code.
constexpr runtime::ArgRecord UnitArg(const windows::Unit& unit) {
    return {unit.window, unit.id, unit.type};
}
constexpr runtime::ArgRecord UnitArg(const windows::Window& window) {
    return {window.id, window.unit, window.type};
}

void SetDisabled(const windows::Unit& unit, bool disabled);
// The content of an edit box.
OwnedText ContentOf(const windows::Unit& editBox);
void SetContent(const windows::Unit& editBox, const char* text);
// Drops the clicks and keys that arrived while a handler held the window's
// thread: the window system would hand them over once the handler returns,
// and a click on a button that was disabled meanwhile would start its job.
void DiscardInputMeanwhile();
// Asks a yes-or-no question in a message box over the main window, once the
// log is whole; true for yes.
bool AskYesNo(const std::string& question);

}  // namespace app
