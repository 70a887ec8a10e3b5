#include "ui/units/extended_interface_library.h"

#include "ui/units/trans_label.h"

namespace ui {

namespace {

// By unit number; the library's other types are not in this program.
const runtime::UnitTypeDescriptor* const kUnitTypes[] = {
    nullptr,          nullptr, nullptr, nullptr,
    &kTransLabelType,  // 5
};

}  // namespace

// It offers no commands.
const runtime::LibraryDescriptor kExtendedInterfaceLibrary = {
    "extended interface",
    nullptr,
    nullptr,
    0,
    kUnitTypes,
    sizeof kUnitTypes / sizeof kUnitTypes[0]};

}  // namespace ui
