// The application's support libraries by number, as its header's library
// table lists them (app/data/app_header.cpp builds the table from this list).
#pragma once

#include <cstdint>

namespace app {

enum Library : int32_t {
    kCoreLibrary = 1,
    kExtendedInterfaceLibrary,
    kDragDropLibrary,
    kInternetLibrary,
    // Linked by the program but never called; their entries stay empty.
    kUnusedLibraryA,
    kUnusedLibraryB,
    kUnusedLibraryC,
    kLastLibrary = kUnusedLibraryC
};

}  // namespace app
