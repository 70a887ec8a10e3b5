// Units bound to a data source: a unit that owns rows and columns (a data
// source) hands out the current row's cell of a named column, and tells the
// units of its window when its current row moves or a cell changes, so that
// bound units (a PicBox's picture) follow it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/unit_type.h"

namespace ui {

// Interface routine 11 of a data source's type: the bytes of the named
// column in the current row; false when the column does not exist.
constexpr int32_t kReadCellRoutine = 11;
using ReadCellRoutine = bool (*)(Unit* source, const char* column, std::string* bytes);

// Sent to every unit of the source's window: wParam is the source's unit
// identifier, lParam the changed column's name, or null when the current row
// moved.
constexpr UINT kDataChangedMessage = 0x8070;

// The cell of the named column in the current row of the data source named
// `sourceName` in the window; false when there is no such source or column.
bool ReadBoundCell(uint32_t windowId, const std::string& sourceName, const std::string& column,
                   std::string* bytes);
// Whether the unit with this identifier in the window is the one so named.
bool IsUnitNamed(uint32_t windowId, uint32_t unitId, const std::string& name);

// Called by a data source: its row moved (column null) or a cell changed.
void DataSourceChanged(uint32_t windowId, uint32_t sourceUnitId, const char* column);

}  // namespace ui
