// Core commands that turn values into texts and byte sets, and the integer
// bit operations.
#pragma once

#include "runtime/values.h"

namespace runtime {

// (any value) -> text: the common value-to-text rule.
void ToText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (any value) -> byte set: the value's bytes in memory order.
void ToByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (n) -> byte set: n zero bytes.
void BlankByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (byte set) -> integer: its length.
void LengthOfByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (integer, integer, [more integers]) -> integer: all of them combined with AND.
void BitwiseAnd(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (value, n) -> integer: value shifted right by n mod 32 bits, copying the sign bit.
void ShiftRight(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
