// The network tests run with the libraries the program has, in its order:
// the drag-and-drop library is number 3 and the internet library number 4.
#include "tests/net/libraries.h"
#include "net/internet_library.h"
#include "tests/support/test_app.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/units/core_library.h"
#include "ui/units/extended_interface_library.h"

namespace test_app {

const runtime::LibraryDescriptor* const kLibraries[] = {
    &ui::kCoreLibrary, &ui::kExtendedInterfaceLibrary, &drag_drop::kDragDropLibrary,
    &net::kInternetLibrary};
const uint32_t kLibraryCount = 4;

}  // namespace test_app
