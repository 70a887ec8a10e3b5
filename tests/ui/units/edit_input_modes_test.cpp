// EditBox input modes 3 to 11: what may be typed and the regular forms.
#include "ui/units/edit_input_modes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace mode = ui::input_mode;

// The characters of `typed` a box of the mode lets through, one by one.
std::string Typed(uint32_t inputMode, const std::string& typed) {
    std::string kept;
    for (char c : typed) {
        if (ui::AcceptsCharacter(inputMode, static_cast<unsigned char>(c))) kept += c;
    }
    return kept;
}

TEST(EditInputModes, EachModeLetsThroughOnlyItsCharacters) {
    const std::string all = "-12.5e+Af z\xD6\xD0";
    EXPECT_EQ(all, Typed(mode::kNormal, all));
    EXPECT_EQ(all, Typed(mode::kPassword, all));
    EXPECT_EQ("125", Typed(mode::kByte, all));
    EXPECT_EQ("-125", Typed(mode::kShortInteger, all));
    EXPECT_EQ("-125", Typed(mode::kLongInteger, all));
    EXPECT_EQ("-12.5", Typed(mode::kDouble, all));
    EXPECT_EQ("125eAf", Typed(mode::kHexadecimal, all));
    EXPECT_EQ("eAfz", Typed(mode::kLetters, all));
    EXPECT_EQ("125eAfz", Typed(mode::kLettersDigits, all));
    // Backspace and the clipboard keys always work.
    for (unsigned char control : {'\b', '\x03', '\x16', '\x18'}) {
        EXPECT_TRUE(ui::AcceptsCharacter(mode::kByte, control));
    }
    // Pasted text loses line breaks too.
    EXPECT_EQ("12", ui::FilterText(mode::kByte, "1\r\n2"));
}

TEST(EditInputModes, NumbersAreClampedToTheirRangeAndWrittenPlainly) {
    EXPECT_EQ("255", ui::ReformatText(mode::kByte, "300"));
    EXPECT_EQ("7", ui::ReformatText(mode::kByte, "007"));
    EXPECT_EQ("-32768", ui::ReformatText(mode::kShortInteger, "-99999"));
    EXPECT_EQ("2147483647", ui::ReformatText(mode::kInteger, "99999999999"));
    EXPECT_EQ("-9223372036854775808",
              ui::ReformatText(mode::kLongInteger, "-99999999999999999999"));
    EXPECT_EQ("0", ui::ReformatText(mode::kInteger, "-"));
    EXPECT_EQ("12", ui::ReformatText(mode::kInteger, "12-3"));
    EXPECT_EQ("0.3333333", ui::ReformatText(mode::kSingle, ".33333333333"));
    EXPECT_EQ("1.5", ui::ReformatText(mode::kDouble, "1.50"));
    EXPECT_EQ("3.402823e+38", ui::ReformatText(mode::kSingle, "1" + std::string(50, '0')));
    EXPECT_EQ("BEEF", ui::ReformatText(mode::kHexadecimal, "beef"));
    EXPECT_EQ("", ui::ReformatText(mode::kByte, ""));
    EXPECT_EQ("abc", ui::ReformatText(mode::kLetters, "abc"));
    EXPECT_EQ("300", ui::ReformatText(mode::kNormal, "300"));
}

}  // namespace
