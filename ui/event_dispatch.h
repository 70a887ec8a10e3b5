// Raising a unit's events: the engine finds the handler the window template
// binds to the event and calls it with the event's arguments.
#pragma once

#include <cstdint>

namespace ui {

namespace passing {
constexpr uint32_t kByAddress = 1;  // the low word holds the address of the value
constexpr uint32_t kBothWords = 2;
}  // namespace passing

struct EventArgument {
    uint32_t low;
    uint32_t high;
    uint32_t tag;
    uint32_t passing;
};

constexpr uint32_t kMaxEventArguments = 12;

struct EventRecord {
    uint32_t windowId;
    uint32_t unitId;  // 0 or the window's own unit for window events
    int32_t event;    // negative: events common to all units
    uint32_t argCount;
    EventArgument args[kMaxEventArguments];
    uint32_t hasResult;
    uint64_t result;
};

namespace common_event {
constexpr int32_t kFocusGained = -7;
constexpr int32_t kFocusLost = -8;
}  // namespace common_event

// Calls the bound handler, if any; fills hasResult and result when one ran.
// Returns whether a handler was called.
bool RaiseEvent(EventRecord& record);

// The same for an event without arguments.
bool RaiseEvent(uint32_t windowId, uint32_t unitId, int32_t event, uint64_t* result = nullptr);

// While one of these lives, events find no handler: units being rebuilt after
// a property change must not reach the application.
class EventSuppression {
  public:
    EventSuppression();
    ~EventSuppression();
    EventSuppression(const EventSuppression&) = delete;
    EventSuppression& operator=(const EventSuppression&) = delete;
};

// The window and unit whose event handler is running, or zeros.
void CurrentEventSource(uint32_t* windowId, uint32_t* unitId);

// Whether a handler of window `windowId` or of one of its units is running,
// perhaps under another's.
bool HandlerRunsFor(uint32_t windowId);

}  // namespace ui
