// The network libraries' places in the network tests' library table, as
// other-library command calls name them.
#pragma once

#include <cstdint>

namespace test_app {

constexpr int32_t kDragDropLibraryIndex = 2;
constexpr int32_t kInternetLibraryIndex = 3;

}  // namespace test_app
