#include "ui/font_value.h"

#include <cstring>

namespace ui {

namespace {

constexpr char kFallbackFace[] = "宋体";

void SetFaceName(LOGFONTA& font, const char* name) {
    const size_t length = name ? std::strlen(name) : 0;
    // A name that does not fit the record, or none, falls back to a face every system has.
    const char* face = (length == 0 || length >= LF_FACESIZE) ? kFallbackFace : name;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, face, std::strlen(face));
}

LONG HeightForPoints(int32_t points) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return -::MulDiv(points, dpi, 72);
}

}  // namespace

LOGFONTA FontFromDescription(const FontDescription& d) {
    LOGFONTA font = {};
    font.lfEscapement = font.lfOrientation = d.escapement % 3600;
    font.lfWeight = d.bold ? FW_BOLD : 0;
    font.lfItalic = d.italic ? 1 : 0;
    font.lfUnderline = d.underline ? 1 : 0;
    font.lfStrikeOut = d.strikeOut ? 1 : 0;
    font.lfHeight = HeightForPoints(d.size);
    SetFaceName(font, d.faceName);
    return font;
}

LOGFONTA FontWithItem(LOGFONTA font, int32_t item, uint32_t value) {
    const int32_t number = static_cast<int32_t>(value);
    switch (item) {
        case font_item::kEscapement:
            font.lfEscapement = font.lfOrientation = number % 3600;
            break;
        case font_item::kBold:
            font.lfWeight = number ? FW_BOLD : 0;
            break;
        case font_item::kItalic:
            font.lfItalic = number ? 1 : 0;
            break;
        case font_item::kUnderline:
            font.lfUnderline = number ? 1 : 0;
            break;
        case font_item::kStrikeOut:
            font.lfStrikeOut = number ? 1 : 0;
            break;
        case font_item::kSize:
            font.lfHeight = HeightForPoints(number);
            break;
        case font_item::kFaceName:
            SetFaceName(font, reinterpret_cast<const char*>(value));
            break;
        default:
            break;
    }
    return font;
}

LOGFONTA DefaultGuiFontRecord() {
    LOGFONTA font = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

}  // namespace ui
