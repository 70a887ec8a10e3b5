// The window services of the service table: loading a window by identifier and
// reading and writing unit properties by (window, unit, property number).
#pragma once

#include <cstdint>

#include <windows.h>

namespace ui {

// Reports "载入启动窗口失败" when the window cannot be created.
void LoadWindow(uint32_t windowId);

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                       uint32_t valueLow, uint32_t valueHigh);

// The native window of a unit (the unit id of a window's own unit names the
// window); null when there is none.
HWND NativeWindowOf(uint32_t windowId, uint32_t unitId);

}  // namespace ui
