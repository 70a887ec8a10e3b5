// Reading command arguments: optional ones, texts that may be null, and the
// variables that arrive by address.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

inline bool IsGiven(int32_t argCount, const ArgRecord* args, int32_t index) {
    return index < argCount && args[index].tag != tag::kNone;
}

// A text argument; null is the empty text.
inline const char* TextArgument(const ArgRecord& arg) {
    const char* text = reinterpret_cast<const char*>(arg.low);
    return text ? text : "";
}

inline int32_t IntegerArgument(const ArgRecord& arg) { return static_cast<int32_t>(arg.low); }

// The application variable whose address a by-address argument carries.
template <typename T>
T* VariableArgument(const ArgRecord& arg) {
    return reinterpret_cast<T*>(arg.low);
}

// A text variable takes `text` (a new heap text or null) and lets its old one go.
void StoreText(char** variable, char* text);

inline void SetText(ArgRecord* result, char* text) {
    result->low = reinterpret_cast<uint32_t>(text);
}
inline void SetPointer(ArgRecord* result, const void* p) {
    result->low = reinterpret_cast<uint32_t>(p);
}
inline void SetInteger(ArgRecord* result, int32_t value) {
    result->low = static_cast<uint32_t>(value);
}
inline void SetLogical(ArgRecord* result, bool value) { result->low = value ? 1 : 0; }

}  // namespace runtime
