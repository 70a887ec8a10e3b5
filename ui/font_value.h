// Font properties: the value the application writes, and the 60-byte
// logical-font record units keep.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace ui {

// A whole font as the application describes it (sub-property index -1).
struct FontDescription {
    int32_t escapement;  // tenths of a degree
    int32_t bold;
    int32_t italic;
    int32_t underline;
    int32_t strikeOut;
    int32_t size;  // points
    const char* faceName;
};

namespace font_item {
constexpr int32_t kEscapement = 0, kBold = 1, kItalic = 2, kUnderline = 3, kStrikeOut = 4,
                  kSize = 5, kFaceName = 6;
}

// A record from a whole description.
LOGFONTA FontFromDescription(const FontDescription& description);
// `base` with one item changed; value is a number or, for the face name, a text.
LOGFONTA FontWithItem(LOGFONTA base, int32_t item, uint32_t value);
// The record of the default GUI font, the base when a unit has none.
LOGFONTA DefaultGuiFontRecord();

}  // namespace ui
