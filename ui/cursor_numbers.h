// Mouse-pointer byte sets carry a cursor number in their first word. The
// application speaks in small numbers; the templates and the system in cursor
// resource identifiers.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

// Translates the first word of a set of 4 or more bytes; shorter sets pass.
std::string CursorBytesFromApplication(const std::string& bytes);
std::string CursorBytesToApplication(const std::string& bytes);

}  // namespace ui
