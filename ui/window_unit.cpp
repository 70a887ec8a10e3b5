#include "ui/window_unit.h"

#include <memory>
#include <string>

#include "runtime/hidden_owner.h"
#include "ui/byte_reader.h"
#include "ui/gdi.h"
#include "ui/unit_routines.h"
#include "ui/unit_support.h"
#include "ui/window_lifecycle.h"

namespace ui {

namespace {

constexpr uint32_t kNewestVersion = 6;
constexpr char kDefaultClassName[] = "_ZV_Window";

bool g_modalLoad = false;

enum Border : uint32_t {
    kNoBorder,
    kSizable,
    kFixed,
    kSizableToolWindow,
    kFixedToolWindow,
    kSizableClientEdge,
    kFixedClientEdge
};

enum StartPosition : uint32_t { kAsStored, kCentred, kMinimised, kMaximised };

struct WindowProperties {
    std::string title;
    uint32_t border = kFixed;
    uint32_t background = kButtonFaceColour;
    std::string picture;
    uint32_t pictureMode = 0;
    std::string sound;
    uint32_t soundMode = 0;
    uint32_t controlBox = 1;
    uint32_t maximiseBox = 0;
    uint32_t minimiseBox = 1;
    uint32_t startPosition = kAsStored;
    uint32_t closable = 1;
    std::string icon;
    uint32_t option21 = 0, option22 = 0, option23 = 0;
    std::string option24;
    uint32_t option25 = 0;
    uint32_t showInTaskbar = 1;
    uint32_t option27 = 0, option28 = 0;
    uint32_t alwaysOnTop = 0;
    uint32_t option30 = 0;
    std::string className;
};

// Property indexes (property number − 8).
enum Index : int32_t {
    kTitle, kBorder, kBackground, kPicture, kPictureMode, kSound, kSoundMode, kControlBox,
    kMaximiseBox, kMinimiseBox, kStartPosition, kClosable, kIcon, kOption21, kOption22, kOption23,
    kOption24, kOption25, kShowInTaskbar, kOption27, kOption28, kAlwaysOnTop, kOption30, kClassName,
    kIndexCount
};

constexpr PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    // The window's own properties.
    Property(data_type::kText),    Property(data_type::kChoice),  Property(data_type::kBackgroundColour),
    Property(data_type::kPicture), Property(data_type::kChoice),  Property(data_type::kSound),
    Property(data_type::kChoice),  Property(data_type::kLogical), Property(data_type::kLogical),
    Property(data_type::kLogical), Property(data_type::kChoice),  Property(data_type::kLogical),
    Property(data_type::kIcon),    Property(data_type::kLogical), Property(data_type::kLogical),
    Property(data_type::kLogical), Property(data_type::kText),    Property(data_type::kInteger),
    Property(data_type::kLogical), Property(data_type::kLogical), Property(data_type::kChoice),
    Property(data_type::kLogical), Property(data_type::kLogical), Property(data_type::kText),
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 32, "the window has 32 properties");
static_assert(8 + kIndexCount == 32, "one index per own property");

bool ReadBlock(const uint8_t* block, int32_t length, WindowProperties& p) {
    if (!block || length <= 0) return true;
    ByteReader reader(block, static_cast<size_t>(length));
    const uint32_t version = reader.U32();
    if (!reader.ok() || version > kNewestVersion) return false;
    p.border = reader.U32();
    p.pictureMode = reader.U32();
    p.background = reader.U32();
    p.maximiseBox = reader.U32();
    p.minimiseBox = reader.U32();
    p.controlBox = reader.U32();
    p.startPosition = reader.U32();
    p.closable = reader.U32();
    p.soundMode = reader.U32();
    p.option21 = reader.U32();
    p.option22 = reader.U32();
    p.option23 = reader.U32();
    p.option25 = reader.U32();
    if (version >= 2) p.showInTaskbar = reader.U32();
    if (version >= 3) {
        p.option27 = reader.U32();
        p.option28 = reader.U32();
    }
    if (version >= 4) p.alwaysOnTop = reader.U32();
    if (version >= 5) p.option30 = reader.U32();
    if (version == 6) p.className = reader.CountedText();
    p.picture = reader.CountedText();
    p.icon = reader.CountedText();
    p.sound = reader.CountedText();
    p.title = reader.CountedText();
    p.option24 = reader.CountedText();
    return reader.ok();
}

std::vector<uint8_t> WriteBlock(const WindowProperties& p) {
    ByteWriter out;
    for (uint32_t word : {kNewestVersion, p.border, p.pictureMode, p.background, p.maximiseBox,
                          p.minimiseBox, p.controlBox, p.startPosition, p.closable, p.soundMode,
                          p.option21, p.option22, p.option23, p.option25, p.showInTaskbar, p.option27,
                          p.option28, p.alwaysOnTop, p.option30}) {
        out.U32(word);
    }
    for (const std::string* text : {&p.className, &p.picture, &p.icon, &p.sound, &p.title, &p.option24}) {
        out.Counted(*text);
    }
    return out.Take();
}

bool IsSizable(uint32_t border) {
    return border == kSizable || border == kSizableToolWindow || border == kSizableClientEdge;
}

DWORD FrameStyle(const WindowProperties& p) {
    DWORD style = 0;
    if (p.border == kNoBorder) return style;
    if (!p.title.empty() || p.controlBox) style |= WS_CAPTION;
    if (p.controlBox) style |= WS_SYSMENU;
    style |= WS_DLGFRAME;
    if (IsSizable(p.border)) style |= WS_THICKFRAME;
    if (p.maximiseBox) style |= WS_MAXIMIZEBOX;
    if (p.minimiseBox) style |= WS_MINIMIZEBOX;
    return style;
}

DWORD FrameExStyle(const WindowProperties& p) {
    if (p.border == kSizableToolWindow || p.border == kFixedToolWindow) return WS_EX_TOOLWINDOW;
    if (p.border == kSizableClientEdge || p.border == kFixedClientEdge) return WS_EX_CLIENTEDGE;
    return 0;
}

constexpr DWORD kFrameBits = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
constexpr DWORD kFrameExBits = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

class WindowUnit : public Unit {
public:
    WindowUnit(uint32_t windowId, uint32_t unitId) : Unit(windowId, unitId) {}
    ~WindowUnit() override {
        if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    HWND hwnd() const override { return hwnd_; }

    WindowProperties properties;
    HWND hwnd_ = nullptr;

    void ApplyFrame() {
        if (!hwnd_) return;
        const DWORD style = (::GetWindowLongA(hwnd_, GWL_STYLE) & ~kFrameBits) | FrameStyle(properties);
        const DWORD exStyle = (::GetWindowLongA(hwnd_, GWL_EXSTYLE) & ~kFrameExBits) | FrameExStyle(properties);
        ::SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style));
        ::SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(exStyle));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    void ApplyClosable() {
        if (!hwnd_) return;
        if (properties.closable) {
            ::GetSystemMenu(hwnd_, TRUE);  // back to the standard menu
        } else if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
            ::DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
        }
    }

    void ApplyTopmost() {
        if (!hwnd_) return;
        ::SetWindowPos(hwnd_, properties.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            bool handled = false;
            const LRESULT result = ReflectToUnit(message, wParam, lParam, &handled);
            if (handled) return result;
            break;
        }
        case WM_ERASEBKGND: {
            auto* unit = static_cast<WindowUnit*>(UnitOfWindow(window));
            if (!unit) break;
            RECT client;
            ::GetClientRect(window, &client);
            UniqueBrush brush(::CreateSolidBrush(ResolveColour(unit->properties.background)));
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
            return 1;
        }
        case WM_NCDESTROY: {
            const LRESULT result = ::DefWindowProcA(window, message, wParam, lParam);
            if (auto* unit = static_cast<WindowUnit*>(UnitOfWindow(window))) {
                unit->hwnd_ = nullptr;
                AttachUnit(window, nullptr);
            }
            NativeWindowDestroyed(window);
            return result;
        }
        default: break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass(const char* name) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (::GetClassInfoA(instance, name, &existing)) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return ::RegisterClassA(&windowClass) != 0;
}

Unit* Create(const uint8_t* block, int32_t blockLength, uint32_t style, HWND owner, uint32_t,
             HMENU menu, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
             uint32_t unitId, uint32_t, uint32_t designMode) {
    auto unit = std::make_unique<WindowUnit>(windowId, unitId);
    WindowProperties& p = unit->properties;
    if (!ReadBlock(block, blockLength, p)) return nullptr;

    style |= WS_CLIPCHILDREN | FrameStyle(p);
    const DWORD exStyle = FrameExStyle(p);
    if (p.startPosition == kCentred) {
        left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else if (p.startPosition == kMinimised) {
        style |= WS_MINIMIZE;
    } else if (p.startPosition == kMaximised && IsSizable(p.border)) {
        style |= WS_MAXIMIZE;
    }
    if (designMode) {
        style |= WS_CHILD;
    } else {
        if ((g_modalLoad || !p.showInTaskbar) && !owner) owner = runtime::HiddenOwner();
        if (owner) style |= WS_POPUP;
    }

    const char* className = p.className.empty() ? kDefaultClassName : p.className.c_str();
    if (!RegisterWindowClass(className)) return nullptr;
    HWND window = ::CreateWindowExA(exStyle, className, p.title.c_str(), style, left, top, width,
                                    height, owner, menu, ::GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    unit->hwnd_ = window;
    AttachUnit(window, unit.get());

    unit->ApplyFrame();
    RECT actual;
    ::GetWindowRect(window, &actual);
    if (actual.right - actual.left != width || actual.bottom - actual.top != height) {
        ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont().get()), FALSE);
    if (p.alwaysOnTop) unit->ApplyTopmost();
    if (!p.closable) unit->ApplyClosable();
    return unit.release();
}

std::string* TextField(WindowProperties& p, int32_t index) {
    switch (index) {
        case kTitle: return &p.title;
        case kPicture: return &p.picture;
        case kSound: return &p.sound;
        case kIcon: return &p.icon;
        case kOption24: return &p.option24;
        case kClassName: return &p.className;
        default: return nullptr;
    }
}

uint32_t* WordField(WindowProperties& p, int32_t index) {
    switch (index) {
        case kBorder: return &p.border;
        case kBackground: return &p.background;
        case kPictureMode: return &p.pictureMode;
        case kSoundMode: return &p.soundMode;
        case kControlBox: return &p.controlBox;
        case kMaximiseBox: return &p.maximiseBox;
        case kMinimiseBox: return &p.minimiseBox;
        case kStartPosition: return &p.startPosition;
        case kClosable: return &p.closable;
        case kOption21: return &p.option21;
        case kOption22: return &p.option22;
        case kOption23: return &p.option23;
        case kOption25: return &p.option25;
        case kShowInTaskbar: return &p.showInTaskbar;
        case kOption27: return &p.option27;
        case kOption28: return &p.option28;
        case kAlwaysOnTop: return &p.alwaysOnTop;
        case kOption30: return &p.option30;
        default: return nullptr;
    }
}

int32_t ChoiceMaximum(int32_t index) {
    switch (index) {
        case kBorder: return kFixedClientEdge;
        case kPictureMode: return 3;
        case kSoundMode: return 2;
        case kStartPosition: return kMaximised;
        case kOption28: return 29;
        default: return -1;
    }
}

bool IsByteSet(int32_t index) { return index == kPicture || index == kSound || index == kIcon; }

void SetProperty(Unit* unitBase, int32_t index, const PropertyValue& value, int32_t* recreate) {
    *recreate = 0;
    auto* unit = static_cast<WindowUnit*>(unitBase);
    WindowProperties& p = unit->properties;
    if (std::string* text = TextField(p, index)) {
        const char* bytes = reinterpret_cast<const char*>(value.low);
        *text = IsByteSet(index) ? std::string(bytes ? bytes : "", bytes ? value.high : 0)
                                 : std::string(bytes ? bytes : "");
        if (index == kTitle && unit->hwnd_) ::SetWindowTextA(unit->hwnd_, p.title.c_str());
        if (index == kClassName || index == kIcon) *recreate = 1;
        return;
    }
    uint32_t* word = WordField(p, index);
    if (!word) return;
    const int32_t maximum = ChoiceMaximum(index);
    const uint32_t stored = maximum >= 0 ? ClampChoice(static_cast<int32_t>(value.low), maximum) : value.low;
    const bool changed = *word != stored;
    *word = stored;
    switch (index) {
        case kBorder:
        case kControlBox:
        case kMaximiseBox:
        case kMinimiseBox: unit->ApplyFrame(); break;
        case kBackground:
            if (unit->hwnd_) ::InvalidateRect(unit->hwnd_, nullptr, TRUE);
            break;
        case kClosable: unit->ApplyClosable(); break;
        case kAlwaysOnTop: unit->ApplyTopmost(); break;
        case kShowInTaskbar: *recreate = changed ? 1 : 0; break;  // the owner decides it
        default: break;
    }
}

bool GetProperty(Unit* unitBase, int32_t index, PropertyValue* value) {
    auto* unit = static_cast<WindowUnit*>(unitBase);
    WindowProperties& p = unit->properties;
    if (index == kTitle && unit->hwnd_) {
        char title[1024] = {};
        ::GetWindowTextA(unit->hwnd_, title, sizeof title);
        p.title = title;
    }
    if (std::string* text = TextField(p, index)) {
        value->low = reinterpret_cast<uint32_t>(text->c_str());
        value->high = IsByteSet(index) ? static_cast<uint32_t>(text->size()) : 0;
        return true;
    }
    if (uint32_t* word = WordField(p, index)) {
        value->low = *word;
        return true;
    }
    return false;
}

std::vector<uint8_t> WriteTypeBlock(Unit* unit) { return WriteBlock(static_cast<WindowUnit*>(unit)->properties); }

void* Interface(int32_t routineNumber) {
    switch (routineNumber) {
        case routine::kCreate: return AsRoutine<CreateRoutine>(Create);
        case routine::kSetProperty: return AsRoutine<SetPropertyRoutine>(SetProperty);
        case routine::kWriteTypeBlock: return AsRoutine<WriteTypeBlockRoutine>(WriteTypeBlock);
        case routine::kGetProperty: return AsRoutine<GetPropertyRoutine>(GetProperty);
        default: return nullptr;
    }
}

}  // namespace

const UnitTypeDescriptor kWindowType = {"窗口", "window", 0x800000D0, 32, kProperties, Interface};

void SetModalLoad(bool modal) { g_modalLoad = modal; }

uint32_t StartPositionOf(Unit* windowUnit) {
    return static_cast<WindowUnit*>(windowUnit)->properties.startPosition;
}

}  // namespace ui
