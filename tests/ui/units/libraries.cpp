// The unit tests run on the runtime with the window engine and the two
// libraries of the unit module attached.
#include "tests/support/test_app.h"
#include "ui/units/core_library.h"
#include "ui/units/extended_interface_library.h"

namespace test_app {

const runtime::LibraryDescriptor* const kLibraries[] = {&ui::kCoreLibrary,
                                                        &ui::kExtendedInterfaceLibrary};
const uint32_t kLibraryCount = 2;

}  // namespace test_app
