// The common rule by which any value becomes text.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

// A new heap text, or null for the empty text.
char* ValueToText(const ArgRecord& value);

// Bytes a value occupies when copied into a byte set or passed by address;
// -1 for types that have no size.
int32_t ValueSize(const ArgRecord& value);

}  // namespace runtime
