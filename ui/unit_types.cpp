// The unit types of each support library, by unit number. Entries of types
// this program does not use are present but empty.
#include "ui/unit_type.h"

#include "net/drop_target.h"
#include "ui/units/button.h"
#include "ui/units/edit_box.h"
#include "ui/units/pic_box.h"
#include "ui/units/trans_label.h"
#include "ui/window_unit.h"

namespace ui {

namespace {

constexpr uint32_t kCoreLibrary = 1;
constexpr uint32_t kExtendedInterfaceLibrary = 2;
constexpr uint32_t kDragDropLibrary = 3;

const UnitTypeDescriptor* const kCoreUnitTypes[] = {
    &kWindowType,   // 1
    nullptr,        // 2
    nullptr,        // 3
    nullptr,        // 4
    &kEditBoxType,  // 5
    &kPicBoxType,   // 6
    nullptr,        // 7
    nullptr,        // 8
    nullptr,        // 9
    nullptr,        // 10
    &kButtonType,   // 11
};

const UnitTypeDescriptor* const kExtendedInterfaceUnitTypes[] = {
    nullptr,           // 1
    nullptr,           // 2
    nullptr,           // 3
    nullptr,           // 4
    &kTransLabelType,  // 5
};

const UnitTypeDescriptor* const kDragDropUnitTypes[] = {
    &net::kDropTargetType,  // 1
};

template <size_t Count>
const UnitTypeDescriptor* Entry(const UnitTypeDescriptor* const (&table)[Count], uint32_t number) {
    return number >= 1 && number <= Count ? table[number - 1] : nullptr;
}

}  // namespace

const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
    const uint32_t library = typeCode >> 16;
    const uint32_t number = typeCode & 0xFFFF;
    if (library == kCoreLibrary) return Entry(kCoreUnitTypes, number);
    if (library == kExtendedInterfaceLibrary) return Entry(kExtendedInterfaceUnitTypes, number);
    if (library == kDragDropLibrary) return Entry(kDragDropUnitTypes, number);
    return nullptr;
}

}  // namespace ui
