// A data source for the binding tests: a unit of rows of named cells (type
// code 0x00030001, library 3 of the unit tests), with a hidden window of its
// own. It hands out cells through interface routine 11 and tells its window's
// units when its row moves or a cell changes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/library.h"
#include "ui/unit_type.h"

namespace test_table {

constexpr uint32_t kTypeCode = 0x00030001;
extern const runtime::LibraryDescriptor kLibrary;

using Rows = std::vector<std::map<std::string, std::string>>;
// The rows the next table created starts with.
inline Rows g_rowsOfNextTable{{}};

class Table final : public ui::Unit {
  public:
    Table(uint32_t windowId, uint32_t unitId, HWND window)
        : Unit(windowId, unitId), window_(window) {}
    ~Table() override { ::DestroyWindow(window_); }
    HWND hwnd() const override { return window_; }

    Rows rows = g_rowsOfNextTable;
    size_t row = 0;

    void MoveTo(size_t newRow);
    void SetCell(const std::string& column, const std::string& bytes);

  private:
    HWND window_;
};

}  // namespace test_table
