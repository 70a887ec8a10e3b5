#include "tests/ui/units/test_table.h"

#include "ui/data_source.h"

namespace test_table {

namespace {

ui::Unit* Create(const uint8_t*, int32_t, uint32_t style, HWND parent, uint32_t controlId, HMENU,
                 int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                 uint32_t unitId, uint32_t, uint32_t) {
    HWND window = ::CreateWindowExA(0, "STATIC", "", style | WS_CHILD, left, top, width, height,
                                    parent, reinterpret_cast<HMENU>(controlId), nullptr, nullptr);
    return window ? new Table(windowId, unitId, window) : nullptr;
}

bool ReadCell(ui::Unit* unit, const char* column, std::string* bytes) {
    const auto* table = static_cast<Table*>(unit);
    const auto& cells = table->rows[table->row];
    const auto cell = cells.find(column);
    if (cell == cells.end()) return false;
    *bytes = cell->second;
    return true;
}

void* Interface(int32_t number) {
    if (number == ui::routine::kCreate) return reinterpret_cast<void*>(&Create);
    if (number == ui::kReadCellRoutine) return reinterpret_cast<void*>(&ReadCell);
    return nullptr;
}

const runtime::PropertyDescriptor kProperties[] = {VELMORA_COMMON_UNIT_PROPERTIES};
const runtime::UnitTypeDescriptor kType = {"表格", "TestTable", runtime::unit_flags::kNoOwnState,
                                           8,      kProperties, &Interface};
const runtime::UnitTypeDescriptor* const kTypes[] = {&kType};

}  // namespace

const runtime::LibraryDescriptor kLibrary = {"test table", nullptr, nullptr, 0, kTypes, 1};

void Table::MoveTo(size_t newRow) {
    row = newRow;
    ui::DataSourceChanged(windowId(), unitId(), nullptr);
}

void Table::SetCell(const std::string& column, const std::string& bytes) {
    rows[row][column] = bytes;
    ui::DataSourceChanged(windowId(), unitId(), column.c_str());
}

}  // namespace test_table
