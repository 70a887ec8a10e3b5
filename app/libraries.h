// The application's support libraries by number (the high half of their unit
// type codes), as its header's library table lists them
// (app/data/app_header.cpp builds the table from this list).
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

// Other-library command calls name a library by its place in the list.
constexpr int32_t ListIndex(Library library) { return library - 1; }

}  // namespace app
