// The core support library: library number 1, home of the core commands and
// units.
#pragma once

#include "runtime/app_header.h"

namespace runtime {

extern const LibraryDescriptor kCoreLibrary;

}  // namespace runtime
