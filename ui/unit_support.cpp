#include "ui/unit_support.h"

#include <cstring>

#include "ui/unit_type.h"

namespace ui {

namespace {
constexpr char kUnitProperty[] = "_ZV_Unit";
}  // namespace

void AttachUnit(HWND control, Unit* unit) {
    if (unit) {
        ::SetPropA(control, kUnitProperty, unit);
    } else {
        ::RemovePropA(control, kUnitProperty);
    }
}

Unit* UnitOfWindow(HWND control) {
    return control ? static_cast<Unit*>(::GetPropA(control, kUnitProperty)) : nullptr;
}

LRESULT ReflectToUnit(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = false;
    HWND control = nullptr;
    if (message == WM_COMMAND) control = reinterpret_cast<HWND>(lParam);
    if (message == WM_NOTIFY) control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) control = reinterpret_cast<HWND>(lParam);
    Unit* unit = UnitOfWindow(control);
    return unit ? unit->OnReflected(message, wParam, lParam, handled) : 0;
}

COLORREF ResolveColour(uint32_t colour) {
    return colour == kButtonFaceColour ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

UniqueFont CreateRecordFont(const std::string& record) {
    if (record.size() != kFontRecordSize) return UniqueFont();
    LOGFONTA font;
    std::memcpy(&font, record.data(), sizeof font);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = 0;
    font.lfClipPrecision = 0;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = 0;
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return UniqueFont(::CreateFontIndirectA(&font));
}

const char* TextOf(const PropertyValue& value) {
    return value.low ? reinterpret_cast<const char*>(value.low) : "";
}

std::string FontRecordOf(const PropertyValue& value) {
    return value.low ? std::string(reinterpret_cast<const char*>(value.low), kFontRecordSize)
                     : std::string();
}

HFONT DefaultGuiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace ui
