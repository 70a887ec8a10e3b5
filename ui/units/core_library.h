// The core unit library: the runtime's own commands with the window engine's,
// and the core unit types (the window, EditBox, PicBox, Button). Attaching it
// attaches the window engine.
#pragma once

#include "runtime/library.h"

namespace ui {

extern const runtime::LibraryDescriptor kCoreLibrary;

}  // namespace ui
