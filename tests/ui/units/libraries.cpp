// The unit tests run on the runtime with the window engine, the two libraries
// of the unit module and a library with a data source for binding attached.
#include "tests/support/test_app.h"
#include "tests/ui/units/test_table.h"
#include "ui/units/core_library.h"
#include "ui/units/extended_interface_library.h"

namespace test_app {

const runtime::LibraryDescriptor* const kLibraries[] = {
    &ui::kCoreLibrary, &ui::kExtendedInterfaceLibrary, &test_table::kLibrary};
const uint32_t kLibraryCount = 3;

}  // namespace test_app
