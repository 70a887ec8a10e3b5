#include "ui/data_source.h"

#include "ui/window_state.h"

namespace ui {

namespace {

LiveUnit* UnitNamed(WindowState* window, const std::string& name) {
    if (!window || name.empty()) return nullptr;
    for (LiveUnit& unit : window->units) {
        if (unit.object && name == unit.record.Name()) return &unit;
    }
    return nullptr;
}

}  // namespace

bool ReadBoundCell(uint32_t windowId, const std::string& sourceName, const std::string& column,
                   std::string* bytes) {
    LiveUnit* source = UnitNamed(FindWindowState(windowId), sourceName);
    if (!source || column.empty()) return false;
    const auto read =
        reinterpret_cast<ReadCellRoutine>(source->type->interfaceRoutine(kReadCellRoutine));
    return read && read(source->object.get(), column.c_str(), bytes);
}

bool IsUnitNamed(uint32_t windowId, uint32_t unitId, const std::string& name) {
    WindowState* window = FindWindowState(windowId);
    LiveUnit* unit = window ? window->FindUnit(unitId) : nullptr;
    return unit && !name.empty() && name == unit->record.Name();
}

void DataSourceChanged(uint32_t windowId, uint32_t sourceUnitId, const char* column) {
    WindowState* window = FindWindowState(windowId);
    if (!window) return;
    for (LiveUnit& unit : window->units) {
        if (unit.object && unit.object->hwnd()) {
            ::SendMessageA(unit.object->hwnd(), kDataChangedMessage, sourceUnitId,
                           reinterpret_cast<LPARAM>(column));
        }
    }
}

}  // namespace ui
