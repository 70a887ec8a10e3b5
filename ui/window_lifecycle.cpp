#include "ui/window_lifecycle.h"

#include <cstring>

#include "runtime/message_loop.h"
#include "ui/event_dispatch.h"
#include "ui/input_barrier.h"
#include "ui/unit_support.h"
#include "ui/window_state.h"
#include "ui/window_unit.h"

namespace ui {

namespace {

constexpr uint32_t kFirstControlId = 100;
constexpr uint32_t kControlIdStep = 10;
constexpr uint32_t kVisibleFlag = 1, kDisabledFlag = 2, kTabStopFlag = 4;

constexpr int32_t kCreatedEvent = 0;
constexpr int32_t kAfterCreatedEvents[] = {3, 4};

struct ModalDisabled {
    std::vector<HWND>* windows;
    HWND modal;
};

BOOL CALLBACK DisableTopLevel(HWND window, LPARAM lParam) {
    auto* disabled = reinterpret_cast<ModalDisabled*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && window != disabled->modal &&
        ::IsWindowEnabled(window) && !::GetParent(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows->push_back(window);
    }
    return TRUE;
}

uint32_t StyleFor(const LiveUnit& unit, bool forceVisibleEnabled) {
    const uint32_t flags = unit.record.StateFlags();
    uint32_t style = 0;
    const bool ownState = !(unit.type->flags & unit_flags::kNoOwnState);
    if (ownState && !forceVisibleEnabled && (flags & kDisabledFlag)) style |= WS_DISABLED;
    if (flags & kTabStopFlag) style |= WS_TABSTOP;
    return style;
}

bool VisibleAfterLoad(const LiveUnit& unit) {
    if (unit.type->flags & unit_flags::kNoOwnState) return false;
    return (unit.record.StateFlags() & kVisibleFlag) != 0;
}

bool CreateUnit(WindowState& window, LiveUnit& unit, HWND parent, uint32_t controlId,
                uint32_t style) {
    auto create = reinterpret_cast<CreateRoutine>(unit.type->interfaceRoutine(routine::kCreate));
    if (!create) return false;
    const std::string block = unit.record.TypeBlock();
    Unit* object =
        create(reinterpret_cast<const uint8_t*>(block.data()), static_cast<int32_t>(block.size()),
               style, parent, controlId, nullptr, unit.record.RectField(0),
               unit.record.RectField(1), unit.record.RectField(2), unit.record.RectField(3),
               window.windowId, unit.record.unitId, 0, 0);
    if (!object) return false;
    unit.object.reset(object);
    unit.controlId = controlId;
    return true;
}

void AbandonLoad(WindowState& window) {
    // Children first: the window unit's destruction takes their windows along.
    for (size_t i = window.units.size(); i-- > 0;) window.units[i].object.reset();
    window.units.clear();
    window.loading = false;
    window.hwnd = nullptr;
}

HCURSOR CursorFrom(const std::string& pointer) {
    if (pointer.size() < 4) return nullptr;
    uint32_t number;
    std::memcpy(&number, pointer.data(), 4);
    return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(number));
}

bool WindowAlive(const WindowState& window) { return window.hwnd && ::IsWindow(window.hwnd); }

void BringToFront(HWND window) {
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    } else {
        ::SetActiveWindow(window);
        ::SetForegroundWindow(window);
    }
}

// A fresh working copy of the records, each with its unit type; false, with
// no units left, when a type is not registered.
bool FindUnitTypes(WindowState& window) {
    window.units.clear();
    for (const UnitRecordCopy& record : window.records) {
        LiveUnit unit;
        unit.record = record;
        unit.type = runtime::FindUnitType(record.layout.typeCode);
        if (!unit.type) {
            window.units.clear();
            window.loading = false;
            return false;
        }
        window.units.push_back(std::move(unit));
    }
    return true;
}

// The window unit first, then the others from the last record to the first;
// false, with the load abandoned, when one cannot be created.
bool CreateUnits(WindowState& window, bool newInstance, bool modal, HWND owner) {
    LiveUnit& windowUnit = window.units[0];
    SetModalLoad(modal);
    const bool created =
        CreateUnit(window, windowUnit, owner, 0, StyleFor(windowUnit, newInstance));
    SetModalLoad(false);
    if (!created) {
        AbandonLoad(window);
        return false;
    }
    window.hwnd = windowUnit.object->hwnd();
    uint32_t controlId = kFirstControlId;
    for (size_t i = window.units.size(); i-- > 1;) {
        LiveUnit& unit = window.units[i];
        if (!CreateUnit(window, unit, window.hwnd, controlId, StyleFor(unit, false))) {
            AbandonLoad(window);
            return false;
        }
        controlId += kControlIdStep;
    }
    return true;
}

// Parents as the records name them, z-order in record order, and cursors.
void ArrangeUnits(WindowState& window) {
    for (size_t i = 1; i < window.units.size(); ++i) {
        LiveUnit& unit = window.units[i];
        LiveUnit* parent = unit.record.Parent() ? window.FindUnit(unit.record.Parent()) : nullptr;
        if (parent && parent->object) ::SetParent(unit.object->hwnd(), parent->object->hwnd());
    }
    HWND previous = HWND_TOP;
    for (size_t i = 1; i < window.units.size(); ++i) {
        HWND unitWindow = window.units[i].object->hwnd();
        ::SetWindowPos(unitWindow, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = unitWindow;
    }
    for (LiveUnit& unit : window.units) unit.cursor = CursorFrom(unit.record.MousePointer());
}

// Tells every unit, then the window, that all units exist, and shows the
// units whose records say so.
void AnnounceUnitsLoaded(const WindowState& window) {
    for (size_t i = window.units.size(); i-- > 0;) {
        ::SendMessageA(window.units[i].object->hwnd(), kUnitsLoadedMessage, 0, 0);
    }
    ::SendMessageA(window.hwnd, kAllUnitsLoadedMessage, 0, 0);
    for (size_t i = 1; i < window.units.size(); ++i) {
        ::ShowWindow(window.units[i].object->hwnd(),
                     VisibleAfterLoad(window.units[i]) ? SW_SHOWNA : SW_HIDE);
    }
}

// The creation event runs before the window shows. False once a handler has
// closed the window.
bool RaiseCreationEvents(const WindowState& window) {
    RaiseEvent(window.windowId, 0, kCreatedEvent);
    for (int32_t event : kAfterCreatedEvents) {
        if (!WindowAlive(window)) return false;
        RaiseEvent(window.windowId, 0, event);
    }
    return WindowAlive(window);
}

// Shows the window when a new instance is asked for or its record says so,
// and tells the unit that got the focus.
void ShowLoadedWindow(const WindowState& window, bool newInstance) {
    if (!newInstance && !(window.records[0].StateFlags() & kVisibleFlag)) return;
    const uint32_t start = StartPositionOf(window.units[0].object.get());
    ::ShowWindow(window.hwnd,
                 start == 3 ? SW_SHOWMAXIMIZED : (start == 2 ? SW_SHOWMINIMIZED : SW_SHOW));
    HWND focus = ::GetFocus();
    if (focus && (focus == window.hwnd || ::IsChild(window.hwnd, focus))) {
        Unit* holder = UnitOfWindow(focus);
        RaiseEvent(window.windowId, holder ? holder->unitId() : 0, common_event::kFocusGained);
    }
}

// Disables the program's other top-level windows until this one closes.
void EnterModalState(WindowState& window) {
    ModalDisabled disabled{&window.disabledForModal, window.hwnd};
    ::EnumWindows(DisableTopLevel, reinterpret_cast<LPARAM>(&disabled));
    window.modal = true;
}

void AnnounceWindowReady(const WindowState& window) {
    for (size_t i = window.units.size(); i-- > 0;) {
        if (window.units[i].object)
            ::SendMessageA(window.units[i].object->hwnd(), kWindowReadyMessage, 0, 0);
    }
}

}  // namespace

bool LoadWindowFromTemplate(uint32_t windowId, bool newInstance, bool modal, HWND owner) {
    WindowState* window = FindWindowState(windowId);
    if (!window || window->records.empty() || window->loading) return false;
    if (window->IsOpen() && !newInstance) {
        BringToFront(window->hwnd);
        return true;
    }
    if (modal) {
        owner = nullptr;
    } else if (owner && !::IsWindow(owner)) {
        return false;
    }

    window->loading = true;
    if (!FindUnitTypes(*window) || !CreateUnits(*window, newInstance, modal, owner)) return false;
    ArrangeUnits(*window);
    AnnounceUnitsLoaded(*window);

    window->loading = false;
    runtime::AddLoadedWindow(window->hwnd);
    HWND focusBefore = ::GetFocus();

    // A handler may close the window: the load then ends there, successfully.
    if (!RaiseCreationEvents(*window)) return true;
    ShowLoadedWindow(*window, newInstance);
    if (!WindowAlive(*window)) return true;

    if (modal) EnterModalState(*window);
    AnnounceWindowReady(*window);
    if (focusBefore && ::IsWindow(focusBefore) && ::GetFocus() != focusBefore && !modal)
        ::SetFocus(focusBefore);
    window->loaded = true;
    return true;
}

bool PreTranslateWindowMessage(MSG& message) {
    if (IsStaleInput(message)) return true;
    if (!message.hwnd) return false;
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    WindowState* window = WindowStateOf(root);
    if (!window || !window->loaded) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        Unit* unit = UnitOfWindow(message.hwnd);
        LiveUnit* live = unit ? window->FindUnit(unit->unitId()) : nullptr;
        auto wantsEnter = live ? reinterpret_cast<KeyFilterRoutine>(
                                     live->type->interfaceRoutine(routine::kKeyFilter))
                               : nullptr;
        if (wantsEnter && wantsEnter(unit)) return false;
    }
    return ::IsDialogMessageA(root, &message) != FALSE;
}

void RunModal(uint32_t windowId) {
    WindowState* window = FindWindowState(windowId);
    MSG message;
    while (window && WindowAlive(*window)) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (PreTranslateWindowMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void NativeWindowDestroyed(HWND nativeWindow) {
    WindowState* window = WindowStateOf(nativeWindow);
    if (!window) return;
    for (HWND disabled : window->disabledForModal) {
        if (::IsWindow(disabled)) ::EnableWindow(disabled, TRUE);
    }
    window->disabledForModal.clear();
    // The native windows are gone already; the unit objects follow.
    // Unit cursors are the system's shared ones and are not destroyed.
    for (size_t i = window->units.size(); i-- > 0;) window->units[i].object.reset();
    window->units.clear();
    window->loaded = window->modal = false;
    window->hwnd = nullptr;
    runtime::LoadedWindowDestroyed(nativeWindow);
}

}  // namespace ui
