// The unit types of each support library, by unit number. Entries of types
// this program does not use are present but empty.
#include "ui/unit_type.h"

#include "ui/units/button.h"
#include "ui/units/edit_box.h"
#include "ui/window_unit.h"

namespace ui {

namespace {

constexpr uint32_t kCoreLibrary = 1;

const UnitTypeDescriptor* const kCoreUnitTypes[] = {
    &kWindowType,   // 1
    nullptr,        // 2
    nullptr,        // 3
    nullptr,        // 4
    &kEditBoxType,  // 5
    nullptr,        // 6 PicBox
    nullptr,        // 7
    nullptr,        // 8
    nullptr,        // 9
    nullptr,        // 10
    &kButtonType,   // 11
};

}  // namespace

const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
    const uint32_t library = typeCode >> 16;
    const uint32_t number = typeCode & 0xFFFF;
    if (library == kCoreLibrary && number >= 1 && number <= sizeof kCoreUnitTypes / sizeof kCoreUnitTypes[0]) {
        return kCoreUnitTypes[number - 1];
    }
    return nullptr;
}

}  // namespace ui
