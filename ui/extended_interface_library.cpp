#include "ui/extended_interface_library.h"

namespace ui {

// Its units are found by type code (unit_types.cpp); it offers no commands.
const runtime::LibraryDescriptor kExtendedInterfaceLibrary = {"extended interface", nullptr, nullptr, 0};

}  // namespace ui
