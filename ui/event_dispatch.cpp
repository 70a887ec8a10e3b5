#include "ui/event_dispatch.h"

#include <algorithm>
#include <vector>

#include "runtime/error_reporter.h"
#include "runtime/values.h"
#include "ui/close_requests.h"
#include "ui/window_state.h"

extern "C" uint64_t CallEventHandler(uint32_t handler, const uint32_t* words, uint32_t count);

namespace ui {

namespace {

constexpr char kEventWindowMissing[] = "未找到引发事件的窗口";
constexpr char kEventUnitMissing[] = "未找到引发事件的窗口组件";
constexpr char kEventUnitInvalid[] = "引发事件的窗口组件无效";

// Tags whose values the handler receives in both words.
constexpr uint32_t kTwoWordTag = 0x00010003;
constexpr uint32_t kTwoWordBasicTag = 0x80000008;

int g_suppression = 0;
// The window and unit of each handler that runs, the innermost last.
struct Source {
    uint32_t windowId;
    uint32_t unitId;
};
std::vector<Source> g_sources;

bool PassesBothWords(const EventArgument& arg) {
    if (arg.passing & passing::kBothWords) return true;
    switch (arg.tag) {
        case kTwoWordTag:
        case kTwoWordBasicTag:
        case runtime::tag::kDateTime:
        case runtime::tag::kLong:
        case runtime::tag::kDouble:
            return true;
        default:
            return false;
    }
}

// The words of the arguments in memory order, the first argument first.
std::vector<uint32_t> HandlerWords(const EventRecord& record) {
    std::vector<uint32_t> words;
    const uint32_t count =
        record.argCount < kMaxEventArguments ? record.argCount : kMaxEventArguments;
    for (uint32_t i = 0; i < count; ++i) {
        const EventArgument& arg = record.args[i];
        if (arg.passing & passing::kByAddress) {
            words.push_back(arg.low);
        } else if (PassesBothWords(arg)) {
            words.push_back(arg.low);
            words.push_back(arg.high);
        } else if (arg.tag == runtime::tag::kByte) {
            words.push_back(arg.low & 0xFF);
        } else if (arg.tag == runtime::tag::kShort) {
            words.push_back(
                static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(arg.low))));
        } else {
            words.push_back(arg.low);
        }
    }
    return words;
}

// The record that supplies the bindings: the unit's own, or the one its link
// names, followed as long as it names an existing unit of the same type.
const UnitRecordCopy* BindingRecord(WindowState& window, const UnitRecordCopy* record) {
    for (size_t hops = 0; record->layout.link && hops < 64; ++hops) {
        const UnitRecordCopy* linked = window.FindRecord(record->layout.link);
        if (!linked || linked->layout.typeCode != record->layout.typeCode) break;
        record = linked;
    }
    return record;
}

}  // namespace

bool RaiseEvent(EventRecord& record) {
    if (g_suppression > 0) return false;
    WindowState* window = FindWindowState(record.windowId);
    if (!window) {
        runtime::Report(kEventWindowMissing, 0);
    }
    const UnitRecordCopy* unit = record.unitId
                                     ? window->FindRecord(record.unitId)
                                     : (window->units.empty() ? nullptr : &window->units[0].record);
    if (!unit) runtime::Report(kEventUnitMissing, 0);
    unit = BindingRecord(*window, unit);

    const UnitTypeDescriptor* type = runtime::FindUnitType(unit->layout.typeCode);
    if (!type || !(type->flags & (unit_flags::kRaisesEvents | unit_flags::kRaisesEventsToo))) {
        runtime::Report(kEventUnitInvalid, 0);
    }
    const uint32_t handler = unit->HandlerOf(record.event);
    if (!handler) return false;

    const std::vector<uint32_t> words = HandlerWords(record);
    // A handler may raise further events; the outer source comes back after them.
    g_sources.push_back({record.windowId, record.unitId});
    const uint64_t result =
        CallEventHandler(handler, words.data(), static_cast<uint32_t>(words.size()));
    g_sources.pop_back();
    if (!HandlerRunsFor(record.windowId)) CloseIfRequested(record.windowId);
    record.hasResult = 1;
    record.result = result;
    return true;
}

bool RaiseEvent(uint32_t windowId, uint32_t unitId, int32_t event, uint64_t* result) {
    EventRecord record{};
    record.windowId = windowId;
    record.unitId = unitId;
    record.event = event;
    const bool handled = RaiseEvent(record);
    if (handled && result) *result = record.result;
    return handled;
}

EventSuppression::EventSuppression() { ++g_suppression; }
EventSuppression::~EventSuppression() { --g_suppression; }

void CurrentEventSource(uint32_t* windowId, uint32_t* unitId) {
    const Source source = g_sources.empty() ? Source{0, 0} : g_sources.back();
    *windowId = source.windowId;
    *unitId = source.unitId;
}

bool HandlerRunsFor(uint32_t windowId) {
    return std::any_of(g_sources.begin(), g_sources.end(),
                       [windowId](const Source& source) { return source.windowId == windowId; });
}

}  // namespace ui
