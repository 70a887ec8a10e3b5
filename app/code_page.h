// Converting a text of code page 936 to UTF-8, through UTF-16, with the
// declared system calls.
#pragma once

#include <string>

namespace app {

std::string Utf8FromAnsi(const std::string& text);

}  // namespace app
