// The extended-interface support library: library number 2, home of the
// TransLabel unit.
#pragma once

#include "runtime/app_header.h"

namespace ui {

extern const runtime::LibraryDescriptor kExtendedInterfaceLibrary;

}  // namespace ui
