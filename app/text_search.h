// Case-sensitive searches through the runtime's find-text commands, with
// 1-based positions and -1 for "not found".
#pragma once

#include <cstdint>

namespace app {

int32_t Find(const char* text, const char* sought);
int32_t FindLast(const char* text, const char* sought);
bool Contains(const char* text, const char* sought);
bool StartsWith(const char* text, const char* prefix);

}  // namespace app
