// Core commands on texts. Positions are 1-based byte positions; a search that
// finds nothing gives -1. Scans step over double-byte characters as units.
#pragma once

#include "runtime/values.h"

namespace runtime {

// (text) -> integer: bytes before the terminating zero.
void TextLength(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, n) -> text: the first n bytes.
void LeftText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, n) -> text: the last n bytes.
void RightText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, start, n) -> text: at most n bytes from position start.
void MiddleText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, sought, [start], case-insensitive flag) -> integer: first position at or after start.
void FindText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, sought, [start], case-insensitive flag) -> integer: last position wholly before start.
void FindTextBackward(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text) -> text: A-Z made a-z, double-byte characters unchanged.
void ToLowerCase(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, sought, [replacement], [start], [count], case-sensitive flag) -> text.
void ReplaceSubtext(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (text, [delimiter], [maximum count]) -> array of texts; see FreeTextArray.
void SplitText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (n) -> text: n spaces.
void BlankText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (n, text) -> text: the text n times over.
void RepeatText(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// Frees an array block of texts together with the texts it owns; null is allowed.
void FreeTextArray(void* block);

}  // namespace runtime
