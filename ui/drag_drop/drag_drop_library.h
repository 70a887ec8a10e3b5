// The drag-and-drop support library: the DropTarget unit's home and its one
// command. The library reaches the runtime only through the callback it is
// handed when the runtime attaches it.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace drag_drop {

extern const runtime::LibraryDescriptor kDragDropLibrary;

// Command 0: (DropTarget unit, window handle as an integer) → logical.
void RegisterWindow(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args);

// A request to the runtime (runtime::library_callback codes); 0 while the
// library is not attached.
uint32_t CallRuntime(int32_t code, uint32_t arg1, uint32_t arg2);

}  // namespace drag_drop
