#include "runtime/core_library.h"

namespace runtime {

const LibraryDescriptor kCoreLibrary = {"core", nullptr, nullptr, 0};

}  // namespace runtime
