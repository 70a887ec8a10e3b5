// Double-byte aware scanning of texts in the ANSI code page (936). A byte with
// the high bit set leads a two-byte character and the byte after it is its
// trail byte, whatever its value; a lead byte just before the end of the text
// stands alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace runtime {

constexpr size_t kNotFound = static_cast<size_t>(-1);

constexpr bool IsLeadByte(char c) { return (static_cast<uint8_t>(c) & 0x80) != 0; }

// Bytes of the character at `offset`, which must be below `length`.
inline size_t CharacterLength(const char* text, size_t length, size_t offset) {
    return IsLeadByte(text[offset]) && offset + 1 < length ? 2 : 1;
}

// Offset of the first occurrence of `sought` (k ≥ 1 bytes) that starts at a
// character reached by stepping characters from `from` and ends at or before
// `end`; kNotFound when there is none. `from` counts as a character start even
// inside a character. With `ignoreCase` each candidate is compared with the
// CRT's multi-byte case-insensitive comparison of k bytes, which may read the
// byte at `end`: the text must be readable there (its terminator will do).
size_t FindBytes(const char* text, size_t end, size_t from, const char* sought, size_t k,
                 bool ignoreCase);

// The case-sensitive FindBytes over all of a zero-terminated text from
// `from`, which must lie inside it, without measuring the text first.
size_t FindInText(const char* text, size_t from, const char* sought, size_t k);

}  // namespace runtime
