// Identifiers of the application's windows.
#pragma once

#include <cstdint>

namespace app {

constexpr uint32_t kMainWindowId = 0x52010001;
constexpr uint32_t kDonationWindowId = 0x5201817D;

}  // namespace app
