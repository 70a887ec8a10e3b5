// The data of the window test program: its service table and constant block,
// and a header that points at the window templates of
// tests/programs/test_windows.tpl.
#include "app/runtime_entries.h"
#include "g_templateData.h"
#include "runtime/app_header.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/units/core_library.h"
#include "ui/units/extended_interface_library.h"

struct WindowAppImage {
    runtime::ServiceTable services;
    char empty[1];
};

extern "C" {
WindowAppImage g_appImage = {{}, ""};
}

namespace {

// The libraries of the unit types the test windows use, in the program's order.
const runtime::LibraryDescriptor* const kLibraries[] = {
    &ui::kCoreLibrary, &ui::kExtendedInterfaceLibrary, &drag_drop::kDragDropLibrary};

}  // namespace

extern "C" const runtime::AppHeader g_appHeader = {
    3,
    0,
    1,
    AppCodeStart + 4,
    g_appImage.empty,
    sizeof g_appImage.empty,
    g_templateData,
    g_templateDataLength,
    sizeof kLibraries / sizeof kLibraries[0],
    kLibraries,
    0,
    nullptr,
    nullptr,
};
