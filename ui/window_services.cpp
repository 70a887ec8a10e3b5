#include "ui/window_services.h"

#include <cstring>
#include <string>

#include "runtime/error_reporter.h"
#include "runtime/memory.h"
#include "ui/cursor_numbers.h"
#include "ui/event_dispatch.h"
#include "ui/font_value.h"
#include "ui/window_lifecycle.h"
#include "ui/window_state.h"

namespace ui {

namespace {

constexpr int32_t kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kTag = 4, kVisible = 5,
                  kDisabled = 6, kMousePointer = 7, kFirstOwnProperty = 8;
constexpr int32_t kLargestCoordinate = 32627;
constexpr uint32_t kVisibleFlag = 1, kDisabledFlag = 2;

uint64_t Words(uint32_t low, uint32_t high = 0) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

WindowState& WindowOrError(uint32_t windowId) {
    WindowState* window = FindWindowState(windowId);
    if (!window) runtime::Report(runtime::messages::kUnitWindowNotLoaded, 0);
    return *window;
}

UnitRecordCopy& RecordOrError(WindowState& window, uint32_t unitId) {
    UnitRecordCopy* record = window.FindRecord(unitId);
    if (!record) runtime::Report(runtime::messages::kWindowOrUnitMissing, 0);
    return *record;
}

// The live unit, or the "not loaded" error.
LiveUnit& LiveUnitOrError(WindowState& window, uint32_t unitId) {
    LiveUnit* unit = window.UnitsReachable() ? window.FindUnit(unitId) : nullptr;
    if (!unit || !unit->object || !::IsWindow(unit->object->hwnd())) {
        runtime::Report(runtime::messages::kWindowNotLoaded, 0);
    }
    return *unit;
}

HWND LiveWindow(WindowState& window, uint32_t unitId) {
    if (!window.UnitsReachable()) return nullptr;
    LiveUnit* unit = unitId ? window.FindUnit(unitId) : &window.units[0];
    return unit && unit->object && ::IsWindow(unit->object->hwnd()) ? unit->object->hwnd()
                                                                    : nullptr;
}

// The window rectangle in its parent's client coordinates (the screen for a top-level window).
RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    if (HWND parent =
            (::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hwnd) : nullptr) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

uint16_t DataTypeOf(const LiveUnit& unit, int32_t property) {
    return static_cast<uint32_t>(property) < unit.type->propertyCount
               ? unit.type->properties[property].dataType
               : data_type::kText;
}

bool IsByteSetType(uint16_t type) {
    return type == data_type::kPicture || type == data_type::kIcon || type == data_type::kSound ||
           type == data_type::kByteSet || type == data_type::kOtherByteSet ||
           type == data_type::kCursor;
}

bool IsWordType(uint16_t type) {
    return type == data_type::kInteger || type == data_type::kOtherInteger ||
           type == data_type::kLogical || type == data_type::kChoice ||
           type == data_type::kTextColour || type == data_type::kColour ||
           type == data_type::kBackgroundColour;
}

uint64_t ReadOwnProperty(LiveUnit& unit, int32_t property) {
    // The window unit reads through its own path, which asks the live window.
    void* own = unit.type->interfaceRoutine(routine::kWindowGetProperty);
    auto get = reinterpret_cast<GetPropertyRoutine>(
        own ? own : unit.type->interfaceRoutine(routine::kGetProperty));
    PropertyValue value;
    if (!get || !get(unit.object.get(), property - kFirstOwnProperty, &value)) return 0;
    const uint16_t type = DataTypeOf(unit, property);
    if (type == data_type::kLogical) return value.low ? 1 : 0;
    if (IsWordType(type)) return value.low;
    if (type == data_type::kLong || type == data_type::kOtherLong)
        return Words(value.low, value.high);
    if (type == data_type::kFont) {
        return value.low ? reinterpret_cast<uint32_t>(runtime::NewByteSet(
                               reinterpret_cast<const void*>(value.low), kFontRecordSize))
                         : 0;
    }
    if (IsByteSetType(type)) {
        std::string bytes(reinterpret_cast<const char*>(value.low), value.low ? value.high : 0);
        if (type == data_type::kCursor) bytes = CursorBytesToApplication(bytes);
        return reinterpret_cast<uint32_t>(runtime::NewByteSet(bytes.data(), bytes.size()));
    }
    return reinterpret_cast<uint32_t>(runtime::NewText(reinterpret_cast<const char*>(value.low)));
}

// Destroys the unit and builds it again from its record, whose type block the
// unit writes first. Its events stay silent meanwhile.
void RecreateUnit(WindowState& window, LiveUnit& unit) {
    auto writeBlock = reinterpret_cast<WriteTypeBlockRoutine>(
        unit.type->interfaceRoutine(routine::kWriteTypeBlock));
    auto create = reinterpret_cast<CreateRoutine>(unit.type->interfaceRoutine(routine::kCreate));
    if (!writeBlock || !create) return;
    EventSuppression silence;
    unit.record.SetTypeBlock(writeBlock(unit.object.get()));
    HWND old = unit.object->hwnd();
    HWND parent = ::GetParent(old);
    HWND below = ::GetWindow(old, GW_HWNDPREV);
    const RECT rect = RectInParent(old);
    uint32_t style = 0;
    if (!::IsWindowEnabled(old)) style |= WS_DISABLED;
    if (::GetWindowLongA(old, GWL_STYLE) & WS_TABSTOP) style |= WS_TABSTOP;
    // Its own visibility: in a window not shown yet (the creation event) every
    // unit is invisible to IsWindowVisible.
    const bool visible = (::GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE) != 0;
    unit.object.reset();
    const std::string block = unit.record.TypeBlock();
    Unit* object =
        create(reinterpret_cast<const uint8_t*>(block.data()), static_cast<int32_t>(block.size()),
               style, parent, unit.controlId, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, window.windowId, unit.record.unitId, 0, 0);
    if (!object) return;
    unit.object.reset(object);
    ::SetWindowPos(object->hwnd(), below ? below : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(object->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

PropertyValue ConvertForSet(LiveUnit& unit, int32_t property, int32_t index, uint32_t low,
                            uint32_t high, std::string& storage, LOGFONTA& font) {
    const uint16_t type = DataTypeOf(unit, property);
    PropertyValue value;
    if (type == data_type::kLogical) {
        value.low = low ? 1 : 0;
    } else if (type == data_type::kChoice) {
        value.low = static_cast<int32_t>(low) < 0 ? 0 : low;
    } else if (IsWordType(type)) {
        value.low = low;
    } else if (type == data_type::kLong || type == data_type::kOtherLong) {
        value.low = low;
        value.high = high;
    } else if (type == data_type::kFont) {
        if (index < 0) {
            font = low ? FontFromDescription(*reinterpret_cast<const FontDescription*>(low))
                       : LOGFONTA{};
        } else {
            PropertyValue current;
            auto get = reinterpret_cast<GetPropertyRoutine>(
                unit.type->interfaceRoutine(routine::kGetProperty));
            const bool hasFont = get &&
                                 get(unit.object.get(), property - kFirstOwnProperty, &current) &&
                                 current.low && current.high == kFontRecordSize;
            LOGFONTA base = DefaultGuiFontRecord();
            if (hasFont)
                std::memcpy(&base, reinterpret_cast<const void*>(current.low), sizeof base);
            font = FontWithItem(base, index, low);
        }
        value.low = reinterpret_cast<uint32_t>(&font);
        value.high = kFontRecordSize;
    } else if (IsByteSetType(type)) {
        const void* byteSet = reinterpret_cast<const void*>(low);
        storage.assign(byteSet ? reinterpret_cast<const char*>(runtime::ByteSetData(byteSet)) : "",
                       runtime::ByteSetLength(byteSet));
        if (type == data_type::kCursor) storage = CursorBytesFromApplication(storage);
        value.low = reinterpret_cast<uint32_t>(storage.data());
        value.high = static_cast<uint32_t>(storage.size());
    } else {
        storage = low ? reinterpret_cast<const char*>(low) : "";
        value.low = reinterpret_cast<uint32_t>(storage.c_str());
    }
    return value;
}

void WriteOwnProperty(WindowState& window, LiveUnit& unit, int32_t property, int32_t index,
                      uint32_t low, uint32_t high) {
    auto set =
        reinterpret_cast<SetPropertyRoutine>(unit.type->interfaceRoutine(routine::kSetProperty));
    if (!set) return;
    std::string storage;
    LOGFONTA font;
    const PropertyValue value = ConvertForSet(unit, property, index, low, high, storage, font);
    int32_t recreate = 0;
    set(unit.object.get(), property - kFirstOwnProperty, value, &recreate);
    if (recreate == 1 && unit.object && ::IsWindow(unit.object->hwnd())) RecreateUnit(window, unit);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

void LoadWindow(uint32_t windowId) {
    if (!LoadWindowFromTemplate(windowId, false, false, nullptr)) {
        runtime::Report(runtime::messages::kLoadStartupWindowFailed, 0);
    }
}

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t /*index*/) {
    WindowState& window = WindowOrError(windowId);
    UnitRecordCopy& record = RecordOrError(window, unitId);
    if (property >= kFirstOwnProperty)
        return ReadOwnProperty(LiveUnitOrError(window, unitId), property);

    HWND live = LiveWindow(window, unitId);
    switch (property) {
        case kLeft:
        case kTop: {
            if (!live) return static_cast<uint32_t>(record.RectField(property));
            const RECT rect = RectInParent(live);
            return static_cast<uint32_t>(property == kLeft ? rect.left : rect.top);
        }
        case kWidth:
        case kHeight: {
            if (!live) return static_cast<uint32_t>(record.RectField(property));
            RECT rect;
            ::GetWindowRect(live, &rect);
            return static_cast<uint32_t>(property == kWidth ? rect.right - rect.left
                                                            : rect.bottom - rect.top);
        }
        case kTag:
            return reinterpret_cast<uint32_t>(runtime::NewText(record.Tag().c_str()));
        case kVisible:
            return live ? (::IsWindowVisible(live) ? 1 : 0) : (record.StateFlags() & kVisibleFlag);
        case kDisabled:
            return live ? (::IsWindowEnabled(live) ? 0 : 1)
                        : ((record.StateFlags() & kDisabledFlag) ? 1 : 0);
        case kMousePointer: {
            const std::string bytes = CursorBytesToApplication(record.MousePointer());
            return reinterpret_cast<uint32_t>(runtime::NewByteSet(bytes.data(), bytes.size()));
        }
        default:
            return 0;
    }
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                       uint32_t valueLow, uint32_t valueHigh) {
    WindowState& window = WindowOrError(windowId);
    UnitRecordCopy& record = RecordOrError(window, unitId);
    if (property >= kFirstOwnProperty) {
        WriteOwnProperty(window, LiveUnitOrError(window, unitId), property, index, valueLow,
                         valueHigh);
        return;
    }
    HWND live = LiveWindow(window, unitId);
    const int32_t value = static_cast<int32_t>(valueLow);
    switch (property) {
        case kLeft:
        case kTop: {
            record.SetRectField(property, Clamp(value, -kLargestCoordinate, kLargestCoordinate));
            if (live) {
                const RECT rect = RectInParent(live);
                const int x = property == kLeft ? record.RectField(kLeft) : rect.left;
                const int y = property == kTop ? record.RectField(kTop) : rect.top;
                ::SetWindowPos(live, nullptr, x, y, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                ::InvalidateRect(live, nullptr, TRUE);
            }
            break;
        }
        case kWidth:
        case kHeight: {
            record.SetRectField(property, Clamp(value, 0, kLargestCoordinate));
            if (live) {
                RECT rect;
                ::GetWindowRect(live, &rect);
                const int width =
                    property == kWidth ? record.RectField(kWidth) : rect.right - rect.left;
                const int height =
                    property == kHeight ? record.RectField(kHeight) : rect.bottom - rect.top;
                ::SetWindowPos(live, nullptr, 0, 0, width, height,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
        }
        case kTag:
            record.SetTag(valueLow ? reinterpret_cast<const char*>(valueLow) : "");
            break;
        case kVisible:
            record.SetStateFlags(valueLow ? (record.StateFlags() | kVisibleFlag)
                                          : (record.StateFlags() & ~kVisibleFlag));
            if (live) ::ShowWindow(live, valueLow ? SW_SHOWNA : SW_HIDE);
            break;
        case kDisabled:
            record.SetStateFlags(valueLow ? (record.StateFlags() | kDisabledFlag)
                                          : (record.StateFlags() & ~kDisabledFlag));
            if (live) ::EnableWindow(live, valueLow ? FALSE : TRUE);
            break;
        case kMousePointer: {
            const void* byteSet = reinterpret_cast<const void*>(valueLow);
            const std::string bytes(
                byteSet ? reinterpret_cast<const char*>(runtime::ByteSetData(byteSet)) : "",
                runtime::ByteSetLength(byteSet));
            record.SetMousePointer(CursorBytesFromApplication(bytes));
            if (LiveUnit* unit = window.UnitsReachable() ? window.FindUnit(unitId) : nullptr) {
                const std::string pointer = record.MousePointer();
                uint32_t id = 0;
                if (pointer.size() >= 4) std::memcpy(&id, pointer.data(), 4);
                unit->cursor = id ? ::LoadCursorA(nullptr, MAKEINTRESOURCEA(id)) : nullptr;
                POINT at;
                ::GetCursorPos(&at);
                ::SetCursorPos(at.x, at.y);
            }
            break;
        }
        default:
            break;
    }
}

HWND NativeWindowOf(uint32_t windowId, uint32_t unitId) {
    WindowState* window = FindWindowState(windowId);
    return window ? LiveWindow(*window, unitId) : nullptr;
}

}  // namespace ui
