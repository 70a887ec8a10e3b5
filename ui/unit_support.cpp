#include "ui/unit_support.h"

#include "ui/unit_scaffold.h"

#include <algorithm>
#include <cstddef>
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
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        control = reinterpret_cast<HWND>(lParam);
    Unit* unit = UnitOfWindow(control);
    return unit ? unit->OnReflected(message, wParam, lParam, handled) : 0;
}

namespace {

constexpr DWORD kEdgeStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
constexpr uint32_t kSingleLineBorder = 5;
// Indexed by the border choice; choice 5 is the WS_BORDER style instead.
constexpr DWORD kBorderExStyles[] = {
    0,                                       // none
    WS_EX_CLIENTEDGE,                        // sunken
    WS_EX_DLGMODALFRAME,                     // raised
    WS_EX_STATICEDGE,                        // flat
    WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME,  // sunken and raised
    0,                                       // single line
};

}  // namespace

void ApplyBoxBorder(HWND window, uint32_t border) {
    if (!window || border > kSingleLineBorder) return;
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE));
    ::SetWindowLongA(window, GWL_EXSTYLE,
                     static_cast<LONG>((exStyle & ~kEdgeStyles) | kBorderExStyles[border]));
    DWORD style = static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) & ~WS_BORDER;
    if (border == kSingleLineBorder) style |= WS_BORDER;
    ::SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::string ClipboardText(HWND owner) {
    if (!::OpenClipboard(owner)) return {};
    std::string text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const auto* locked = static_cast<const char*>(::GlobalLock(data))) {
            text = locked;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

COLORREF ResolveColour(uint32_t colour) {
    return colour == kButtonFaceColour ? ::GetSysColor(COLOR_BTNFACE)
                                       : static_cast<COLORREF>(colour);
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

void VisitFontFace(std::string* fontRecord, const TextVisit& visit) {
    if (fontRecord->size() != kFontRecordSize) return;
    constexpr size_t kFaceAt = offsetof(LOGFONTA, lfFaceName);
    char* face = &(*fontRecord)[kFaceAt];
    std::string name(face, strnlen(face, LF_FACESIZE));
    visit(&name);
    std::memset(face, 0, LF_FACESIZE);
    std::memcpy(face, name.data(), std::min<size_t>(name.size(), LF_FACESIZE - 1));
}

BorrowedFont DefaultGuiFont() {
    return BorrowedFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

BorrowedFont FontInUse(const UniqueFont& own) { return own ? BorrowedFont(own) : DefaultGuiFont(); }

HWND CreateContext::CreateChild(DWORD exStyle, const char* className, const char* text, DWORD style,
                                void* createParam) const {
    return ::CreateWindowExA(exStyle, className, text, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                             ::GetModuleHandleA(nullptr), createParam);
}

bool RegisterUnitClass(const char* name, WNDPROC procedure, HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (::GetClassInfoA(instance, name, &existing)) return true;
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return ::RegisterClassA(&windowClass) != 0;
}

}  // namespace ui
