#include "ui/units/edit_input_modes.h"

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ui {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

struct IntegerRange {
    long long lowest, highest;
};

bool IntegerRangeOf(uint32_t mode, IntegerRange* range) {
    switch (mode) {
        case input_mode::kByte:
            *range = {0, 255};
            return true;
        case input_mode::kShortInteger:
            *range = {-32768, 32767};
            return true;
        case input_mode::kInteger:
            *range = {-2147483647LL - 1, 2147483647LL};
            return true;
        case input_mode::kLongInteger:
            *range = {LLONG_MIN, LLONG_MAX};
            return true;
        default:
            return false;
    }
}

}  // namespace

bool AcceptsCharacter(uint32_t mode, unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (mode) {
        case input_mode::kByte:
            return IsDigit(c);
        case input_mode::kShortInteger:
        case input_mode::kInteger:
        case input_mode::kLongInteger:
            return IsDigit(c) || c == '-';
        case input_mode::kSingle:
        case input_mode::kDouble:
            return IsDigit(c) || c == '-' || c == '.';
        case input_mode::kHexadecimal:
            return IsHexDigit(c);
        case input_mode::kLetters:
            return IsLetter(c);
        case input_mode::kLettersDigits:
            return IsLetter(c) || IsDigit(c);
        default:
            return true;
    }
}

std::string FilterText(uint32_t mode, const std::string& text) {
    std::string kept;
    for (const char c : text) {
        // A pasted line break is no typed control character.
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && AcceptsCharacter(mode, u)) kept += c;
    }
    return kept;
}

std::string ReformatText(uint32_t mode, const std::string& text) {
    if (text.empty()) return text;
    char formatted[64];
    IntegerRange range;
    if (IntegerRangeOf(mode, &range)) {
        // strtoll saturates at the 64-bit limits; errno need not be read.
        long long value = std::strtoll(text.c_str(), nullptr, 10);
        if (value < range.lowest) value = range.lowest;
        if (value > range.highest) value = range.highest;
        std::snprintf(formatted, sizeof formatted, "%lld", value);
        return formatted;
    }
    if (mode == input_mode::kSingle || mode == input_mode::kDouble) {
        double value = std::strtod(text.c_str(), nullptr);
        if (mode == input_mode::kSingle) {
            if (value > FLT_MAX) value = FLT_MAX;
            if (value < -FLT_MAX) value = -FLT_MAX;
        }
        std::snprintf(formatted, sizeof formatted, mode == input_mode::kSingle ? "%.7g" : "%.15g",
                      value);
        return formatted;
    }
    if (mode == input_mode::kHexadecimal) {
        std::string upper = text;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        }
        return upper;
    }
    return text;
}

}  // namespace ui
