// How application code calls declared system functions and runtime commands.
#pragma once

#include <cstdint>
#include <type_traits>

#include "app/runtime_entries.h"
#include "runtime/app_header.h"

extern "C" uint64_t InvokeDeclaredCall(uint32_t number, const uint32_t* words, uint32_t count,
                                       uint32_t* stackMismatch);
extern "C" const runtime::AppHeader g_appHeader;

namespace app {

constexpr int32_t kStackMismatchError = 6;
constexpr int32_t kIndexTooLargeError = 1;
constexpr int32_t kIndexBelowOneError = 4;

template <typename T>
uint32_t ToWord(T value) {
    if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>) {
        return reinterpret_cast<uint32_t>(value);
    } else {
        return static_cast<uint32_t>(value);
    }
}

// Calls declaration `number` with 32-bit arguments; raises error 6 when the
// function removed a different number of argument bytes than were passed.
template <typename... Args>
uint32_t CallDeclared(uint32_t number, Args... args) {
    const uint32_t words[sizeof...(Args) + 1] = {ToWord(args)..., 0};
    uint32_t stackMismatch = 0;
    const uint64_t result = InvokeDeclaredCall(number, words, sizeof...(Args), &stackMismatch);
    if (stackMismatch) RaiseRuntimeError(kStackMismatchError);
    return static_cast<uint32_t>(result);
}

// The application's empty constant text: the first byte of its constant block.
inline const char* EmptyText() { return g_appHeader.constantBlockStart; }

inline runtime::ArgRecord IntegerArg(int32_t value) {
    return {static_cast<uint32_t>(value), 0, runtime::tag::kInteger};
}
inline runtime::ArgRecord LogicalArg(bool value) {
    return {value ? 1u : 0u, 0, runtime::tag::kLogical};
}
// A null text travels as the constant empty text, so commands can always read it.
inline runtime::ArgRecord TextArg(const char* text) {
    return {reinterpret_cast<uint32_t>(text ? text : EmptyText()), 0, runtime::tag::kText};
}
inline runtime::ArgRecord ByteSetArg(const void* byteSet) {
    return {reinterpret_cast<uint32_t>(byteSet), 0, runtime::tag::kByteSet};
}

template <size_t N>
runtime::ArgRecord CallCore(runtime::CommandFunction command, const runtime::ArgRecord (&args)[N]) {
    return ::CallCoreCommand(command, static_cast<int32_t>(N), args);
}

// Address of element `index` (1-based) of a one-dimensional array block.
void* ArrayElement(void* block, int32_t index, uint32_t elementSize);

}  // namespace app
