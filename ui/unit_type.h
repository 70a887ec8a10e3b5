// What the window engine knows of a unit type: its descriptor and the
// routines its interface routine hands out by number. Unit objects derive
// from Unit; the engine owns them through their window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/library.h"

namespace ui {

// The descriptor records are the runtime's: libraries hand them over.
namespace data_type = runtime::data_type;
namespace unit_flags = runtime::unit_flags;
using runtime::InterfaceRoutine;
using runtime::Property;
using runtime::PropertyDescriptor;
using runtime::UnitTypeDescriptor;

// The eight properties every unit type has first (Left, Top, Width, Height,
// Tag, Visible, Disabled, MousePointer), to open each type's property table.
#define VELMORA_COMMON_UNIT_PROPERTIES                                                        \
    ::ui::Property(::ui::data_type::kInteger), ::ui::Property(::ui::data_type::kInteger),     \
        ::ui::Property(::ui::data_type::kInteger), ::ui::Property(::ui::data_type::kInteger), \
        ::ui::Property(::ui::data_type::kText), ::ui::Property(::ui::data_type::kLogical),    \
        ::ui::Property(::ui::data_type::kLogical), ::ui::Property(::ui::data_type::kCursor)

// A property value as it travels to a set routine or from a get routine:
// integers, logicals, choices and colours in `low`; 64-bit values in both
// words; a text as a pointer in `low`; a byte set or picture as pointer in
// `low` and length in `high`; a font as a pointer to a 60-byte LOGFONTA.
struct PropertyValue {
    uint32_t low = 0;
    uint32_t high = 0;
};

constexpr size_t kFontRecordSize = sizeof(LOGFONTA);
static_assert(kFontRecordSize == 60, "fonts travel as 60-byte logical-font records");

class Unit {
  public:
    Unit(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}
    virtual ~Unit() = default;
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    uint32_t windowId() const { return windowId_; }
    uint32_t unitId() const { return unitId_; }
    // The unit's native window; null once it is gone.
    virtual HWND hwnd() const = 0;
    // Routines a unit type has beyond the common ones (ui/unit_scaffold.h);
    // a unit class hides this to add its own.
    static void* OwnRoutine(int32_t /*number*/) { return nullptr; }

    // A WM_COMMAND or WM_NOTIFY the parent window reflected back to its control.
    virtual LRESULT OnReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
        (void)message, (void)wParam, (void)lParam;
        *handled = false;
        return 0;
    }

  private:
    uint32_t windowId_;
    uint32_t unitId_;
};

// Private messages the engine sends while a window loads: each unit hears
// that all units exist, then the window, then each unit that the window is
// ready (shown, its creation event run).
constexpr UINT kUnitsLoadedMessage = 0x806F;
constexpr UINT kAllUnitsLoadedMessage = 0x8004;
constexpr UINT kWindowReadyMessage = 0x8076;

// Interface routine numbers.
namespace routine {
constexpr int32_t kCreate = 1;
constexpr int32_t kSetProperty = 4;
constexpr int32_t kWriteTypeBlock = 5;
constexpr int32_t kGetProperty = 6;
constexpr int32_t kWindowGetProperty = 7;
constexpr int32_t kKeyFilter = 8;
constexpr int32_t kVisitTexts = 9;
constexpr int32_t kDefaultButtonTest = 10;
}  // namespace routine

// 1: the fourteen words the loader passes; returns the unit or null.
using CreateRoutine = Unit* (*)(const uint8_t* block, int32_t blockLength, uint32_t style,
                                HWND parent, uint32_t controlId, HMENU menu, int32_t left,
                                int32_t top, int32_t width, int32_t height, uint32_t windowId,
                                uint32_t unitId, uint32_t unused, uint32_t designMode);
// 4: *recreate is set to 1 when the unit must be built again from its record.
using SetPropertyRoutine = void (*)(Unit* unit, int32_t index, const PropertyValue& value,
                                    int32_t* recreate);
// 5: the unit's current properties as a type block.
using WriteTypeBlockRoutine = std::vector<uint8_t> (*)(Unit* unit);
// 6: false for an unknown index. Texts and byte sets stay owned by the unit.
using GetPropertyRoutine = bool (*)(Unit* unit, int32_t index, PropertyValue* value);
// 9: reads a type block, hands each of its texts to the visitor, which may
// change it, and returns the block written back; empty when unreadable.
using TextVisitor = void (*)(std::string* text, void* context);
using VisitTextsRoutine = std::vector<uint8_t> (*)(const uint8_t* block, int32_t blockLength,
                                                   TextVisitor visit, void* context);
// 8: whether the unit wants the Enter key for itself.
using KeyFilterRoutine = bool (*)(Unit* unit);
// 10: whether the unit is a default push button.
using DefaultButtonRoutine = bool (*)(Unit* unit);

}  // namespace ui
