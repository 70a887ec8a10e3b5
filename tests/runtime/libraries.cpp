// The runtime's tests run on the runtime alone: no support library.
#include "tests/support/test_app.h"

namespace test_app {

const runtime::LibraryDescriptor* const kLibraries[] = {nullptr};
const uint32_t kLibraryCount = 0;

}  // namespace test_app
