// The internet support library: the HTTP reader's home.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace net {

// Position in the application's library table, counted from 1.
constexpr int32_t kInternetLibraryNumber = 4;

extern const runtime::LibraryDescriptor kInternetLibrary;

}  // namespace net
