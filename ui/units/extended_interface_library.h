// The extended-interface support library, home of the TransLabel unit.
#pragma once

#include "runtime/library.h"

namespace ui {

extern const runtime::LibraryDescriptor kExtendedInterfaceLibrary;

}  // namespace ui
