// The numbers of the network libraries in the network tests' library table.
#pragma once

#include <cstdint>

namespace test_app {

constexpr int32_t kDragDropLibraryNumber = 3;
constexpr int32_t kInternetLibraryNumber = 4;

}  // namespace test_app
