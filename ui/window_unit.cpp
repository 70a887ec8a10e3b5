#include "ui/window_unit.h"

#include <memory>
#include <string>

#include "runtime/hidden_owner.h"
#include "ui/byte_reader.h"
#include "ui/close_requests.h"
#include "ui/event_dispatch.h"
#include "ui/gdi.h"
#include "ui/icon_records.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"
#include "ui/window_lifecycle.h"

namespace ui {

namespace {

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

// Property indexes (property number − 8).
enum Index : int32_t {
    kTitle,
    kBorder,
    kBackground,
    kPicture,
    kPictureMode,
    kSound,
    kSoundMode,
    kControlBox,
    kMaximiseBox,
    kMinimiseBox,
    kStartPosition,
    kClosable,
    kIcon,
    kKeptFlag21,
    kKeptFlag22,
    kKeptFlag23,
    kKeptText24,
    kKeptNumber25,
    kShowInTaskbar,
    kKeptFlag27,
    kKeptChoice28,
    kAlwaysOnTop,
    kKeptFlag30,
    kClassName,
    kIndexCount
};

constexpr PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    // The window's own properties.
    Property(data_type::kText),
    Property(data_type::kChoice),
    Property(data_type::kBackgroundColour),
    Property(data_type::kPicture),
    Property(data_type::kChoice),
    Property(data_type::kSound),
    Property(data_type::kChoice),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kChoice),
    Property(data_type::kLogical),
    Property(data_type::kIcon),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kText),
    Property(data_type::kInteger),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kChoice),
    Property(data_type::kLogical),
    Property(data_type::kLogical),
    Property(data_type::kText),
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 32, "the window has 32 properties");
static_assert(8 + kIndexCount == 32, "one index per own property");

bool IsSizable(uint32_t border) {
    return border == kSizable || border == kSizableToolWindow || border == kSizableClientEdge;
}

DWORD FrameStyle(const WindowBlock& p) {
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

DWORD FrameExStyle(const WindowBlock& p) {
    if (p.border == kSizableToolWindow || p.border == kFixedToolWindow) return WS_EX_TOOLWINDOW;
    if (p.border == kSizableClientEdge || p.border == kFixedClientEdge) return WS_EX_CLIENTEDGE;
    return 0;
}

constexpr DWORD kFrameBits =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
constexpr DWORD kFrameExBits = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

class WindowUnit final : public Unit {
  public:
    using Block = WindowBlock;

    WindowUnit(uint32_t windowId, uint32_t unitId, WindowBlock block)
        : Unit(windowId, unitId), properties(std::move(block)) {}
    ~WindowUnit() override {
        if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    HWND hwnd() const override { return hwnd_; }

    // Routine 7: reads what the live window may have changed behind the
    // unit's back (its title), the stored value for everything else.
    static void* OwnRoutine(int32_t number);

    bool Create(const CreateContext& context);
    void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, PropertyValue* value);
    bool GetLive(int32_t index, PropertyValue* value);
    std::vector<uint8_t> WriteBlock() const { return properties.Write(); }

    WindowBlock properties;
    HWND hwnd_ = nullptr;

    void ApplyFrame() {
        if (!hwnd_) return;
        const DWORD style =
            (::GetWindowLongA(hwnd_, GWL_STYLE) & ~kFrameBits) | FrameStyle(properties);
        const DWORD exStyle =
            (::GetWindowLongA(hwnd_, GWL_EXSTYLE) & ~kFrameExBits) | FrameExStyle(properties);
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
        case WM_CLOSE:
        case WM_QUERYENDSESSION: {
            // Destroying the window would pull it from under its handler.
            const Unit* unit = UnitOfWindow(window);
            if (!unit || !HandlerRunsFor(unit->windowId())) break;
            const bool sessionEnds = message == WM_QUERYENDSESSION;
            DeferClose(unit->windowId(), window,
                       sessionEnds ? CloseRequest::kSessionEnding : CloseRequest::kAsked);
            // The session waits until the handler has stopped and the program ended.
            return 0;
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
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

bool WindowUnit::Create(const CreateContext& context) {
    const WindowBlock& p = properties;
    HWND owner = context.parent;
    DWORD style = context.style | WS_CLIPCHILDREN | FrameStyle(p);
    int left = context.rect.left, top = context.rect.top;
    const int width = context.rect.right - context.rect.left;
    const int height = context.rect.bottom - context.rect.top;
    const DWORD exStyle = FrameExStyle(p);
    if (p.startPosition == kCentred) {
        left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else if (p.startPosition == kMinimised) {
        style |= WS_MINIMIZE;
    } else if (p.startPosition == kMaximised && IsSizable(p.border)) {
        style |= WS_MAXIMIZE;
    }
    if (context.designMode) {
        style |= WS_CHILD;
    } else {
        if ((g_modalLoad || !p.showInTaskbar) && !owner) owner = runtime::HiddenOwner();
        if (owner) style |= WS_POPUP;
    }

    const char* className = p.className.empty() ? kDefaultClassName : p.className.c_str();
    if (!RegisterUnitClass(className, &WindowProc)) return false;
    HWND window =
        ::CreateWindowExA(exStyle, className, p.title.c_str(), style, left, top, width, height,
                          owner, context.menu, ::GetModuleHandleA(nullptr), nullptr);
    if (!window) return false;
    hwnd_ = window;
    AttachUnit(window, this);

    ApplyFrame();
    RECT actual;
    ::GetWindowRect(window, &actual);
    if (actual.right - actual.left != width || actual.bottom - actual.top != height) {
        ::SetWindowPos(window, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HICON icon = p.icon.empty() ? nullptr : IconRecordFor(p.icon)) {
        ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont().get()), FALSE);
    if (p.alwaysOnTop) ApplyTopmost();
    if (!p.closable) ApplyClosable();
    return true;
}

std::string* TextField(WindowBlock& p, int32_t index) {
    switch (index) {
        case kTitle:
            return &p.title;
        case kPicture:
            return &p.picture;
        case kSound:
            return &p.sound;
        case kIcon:
            return &p.icon;
        case kKeptText24:
            return &p.keptText24;
        case kClassName:
            return &p.className;
        default:
            return nullptr;
    }
}

uint32_t* WordField(WindowBlock& p, int32_t index) {
    switch (index) {
        case kBorder:
            return &p.border;
        case kBackground:
            return &p.background;
        case kPictureMode:
            return &p.pictureMode;
        case kSoundMode:
            return &p.soundMode;
        case kControlBox:
            return &p.controlBox;
        case kMaximiseBox:
            return &p.maximiseBox;
        case kMinimiseBox:
            return &p.minimiseBox;
        case kStartPosition:
            return &p.startPosition;
        case kClosable:
            return &p.closable;
        case kKeptFlag21:
            return &p.keptFlag21;
        case kKeptFlag22:
            return &p.keptFlag22;
        case kKeptFlag23:
            return &p.keptFlag23;
        case kKeptNumber25:
            return &p.keptNumber25;
        case kShowInTaskbar:
            return &p.showInTaskbar;
        case kKeptFlag27:
            return &p.keptFlag27;
        case kKeptChoice28:
            return &p.keptChoice28;
        case kAlwaysOnTop:
            return &p.alwaysOnTop;
        case kKeptFlag30:
            return &p.keptFlag30;
        default:
            return nullptr;
    }
}

int32_t ChoiceMaximum(int32_t index) {
    switch (index) {
        case kBorder:
            return kFixedClientEdge;
        case kPictureMode:
            return 3;
        case kSoundMode:
            return 2;
        case kStartPosition:
            return kMaximised;
        case kKeptChoice28:
            return 29;
        default:
            return -1;
    }
}

bool IsByteSet(int32_t index) { return index == kPicture || index == kSound || index == kIcon; }

}  // namespace

void WindowUnit::Set(int32_t index, const PropertyValue& value, int32_t* recreate) {
    WindowBlock& p = properties;
    WindowUnit* const unit = this;
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
    const uint32_t stored =
        maximum >= 0 ? ClampChoice(static_cast<int32_t>(value.low), maximum) : value.low;
    const bool changed = *word != stored;
    *word = stored;
    switch (index) {
        case kBorder:
        case kControlBox:
        case kMaximiseBox:
        case kMinimiseBox:
            unit->ApplyFrame();
            break;
        case kBackground:
            if (unit->hwnd_) ::InvalidateRect(unit->hwnd_, nullptr, TRUE);
            break;
        case kClosable:
            unit->ApplyClosable();
            break;
        case kAlwaysOnTop:
            unit->ApplyTopmost();
            break;
        case kShowInTaskbar:
            *recreate = changed ? 1 : 0;
            break;  // the owner decides it
        default:
            break;
    }
}

bool WindowUnit::Get(int32_t index, PropertyValue* value) {
    WindowBlock& p = properties;
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

bool WindowUnit::GetLive(int32_t index, PropertyValue* value) {
    if (index == kTitle && hwnd_) {
        const int length = ::GetWindowTextLengthA(hwnd_);
        std::string title(static_cast<size_t>(length) + 1, '\0');
        title.resize(static_cast<size_t>(::GetWindowTextA(hwnd_, &title[0], length + 1)));
        properties.title = std::move(title);
    }
    return Get(index, value);
}

bool GetLiveWindowProperty(Unit* unit, int32_t index, PropertyValue* value) {
    return unit && static_cast<WindowUnit*>(unit)->GetLive(index, value);
}

void* WindowUnit::OwnRoutine(int32_t number) {
    return number == routine::kWindowGetProperty
               ? AsRoutine<GetPropertyRoutine>(&GetLiveWindowProperty)
               : nullptr;
}

const UnitTypeDescriptor kWindowType = {"窗口",
                                        "window",
                                        unit_flags::kRaisesEventsToo | unit_flags::Kept(0x80000090),
                                        sizeof kProperties / sizeof kProperties[0],
                                        kProperties,
                                        &UnitType<WindowUnit>::Interface};

void SetModalLoad(bool modal) { g_modalLoad = modal; }

uint32_t StartPositionOf(Unit* windowUnit) {
    return static_cast<WindowUnit*>(windowUnit)->properties.startPosition;
}

VELMORA_TYPE_BLOCK_CODE(WindowBlock, WINDOW_BLOCK)

}  // namespace ui
