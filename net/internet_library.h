// The internet support library: the HTTP reader's home.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace net {

extern const runtime::LibraryDescriptor kInternetLibrary;

}  // namespace net
