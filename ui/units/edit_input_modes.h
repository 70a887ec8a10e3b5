// What an EditBox's input modes 3 to 11 let a person type, and how the modes
// that hold a number or a hexadecimal text put it in its regular form when
// the box loses the focus. Modes 0 to 2 (normal, read-only, password) are
// control styles and restrict nothing here.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

namespace input_mode {
constexpr uint32_t kNormal = 0;
constexpr uint32_t kReadOnly = 1;
constexpr uint32_t kPassword = 2;
constexpr uint32_t kByte = 3;            // 0 to 255
constexpr uint32_t kShortInteger = 4;    // 16-bit
constexpr uint32_t kInteger = 5;         // 32-bit
constexpr uint32_t kLongInteger = 6;     // 64-bit
constexpr uint32_t kSingle = 7;          // decimal, 7 significant digits
constexpr uint32_t kDouble = 8;          // decimal, 15 significant digits
constexpr uint32_t kHexadecimal = 9;     // 0-9, A-F, kept in capitals
constexpr uint32_t kLetters = 10;        // A-Z and a-z
constexpr uint32_t kLettersDigits = 11;  // A-Z, a-z and 0-9
constexpr uint32_t kLast = kLettersDigits;
}  // namespace input_mode

// Whether a typed character may go into a box of this mode; control
// characters (backspace, the clipboard keys) always may.
bool AcceptsCharacter(uint32_t mode, unsigned char character);
// Pasted text for a box of a restricting mode (3 to 11): without the
// characters the mode does not accept, and without control characters.
std::string FilterText(uint32_t mode, const std::string& text);
// The text in the mode's regular form: a number in its range, written plainly,
// or hexadecimal digits in capitals. An empty text stays empty; other modes
// keep the text as it is.
std::string ReformatText(uint32_t mode, const std::string& text);

}  // namespace ui
