// What a support library hands the runtime: its descriptor, with its command
// table and its table of unit types, and the two entries through which the
// runtime and the library speak to each other.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

// Notification entry of a support library. Code 1 at start-up hands it the
// runtime's callback in arg1; code 6 at shutdown hands it its data word.
using LibraryNotify = uint32_t (*)(int32_t code, uint32_t arg1, uint32_t arg2);

namespace library_notify {
constexpr int32_t kAttach = 1;
constexpr int32_t kEnd = 6;
}  // namespace library_notify

// The runtime's entry for a support library's requests, handed over at attach.
using LibraryCallbackFunction = uint32_t (*)(int32_t code, uint32_t arg1, uint32_t arg2);

namespace library_callback {
constexpr int32_t kUnitGone = 2000;    // (window id, unit id): the unit deletes itself
constexpr int32_t kFindUnit = 2007;    // (window id, unit id) → the object of a loaded unit
constexpr int32_t kAllocate = 2024;    // (size) → block
constexpr int32_t kFree = 2025;        // (block)
constexpr int32_t kRaiseEvent = 2031;  // (event record) → 1 when a handler ran
}  // namespace library_callback

// Property data types: the 16-bit codes of a unit type's property table. Some
// kinds have two codes that pass their values alike.
namespace data_type {
constexpr uint16_t kInteger = 1000;
constexpr uint16_t kOtherInteger = 1001;
constexpr uint16_t kLong = 1002;
constexpr uint16_t kLogical = 1003;
constexpr uint16_t kOtherLong = 1004;
constexpr uint16_t kText = 1005;
constexpr uint16_t kChoice = 1006;
constexpr uint16_t kPicture = 1009;
constexpr uint16_t kIcon = 1010;
constexpr uint16_t kCursor = 1011;
constexpr uint16_t kSound = 1012;
constexpr uint16_t kFont = 1013;
constexpr uint16_t kTextColour = 1014;
constexpr uint16_t kColour = 1015;
constexpr uint16_t kBackgroundColour = 1017;
constexpr uint16_t kByteSet = 1023;
constexpr uint16_t kOtherByteSet = 1024;
}  // namespace data_type

// One entry of a unit type's property table; only the data type is read at
// run time, the rest is kept as the table lays it out.
struct PropertyDescriptor {
    uint8_t unread[12];
    uint16_t dataType;
    uint8_t unreadTail[6];
};
static_assert(sizeof(PropertyDescriptor) == 20, "property entries are 20 bytes");

constexpr PropertyDescriptor Property(uint16_t dataType) { return {{}, dataType, {}}; }

// The flags word of a unit type.
namespace unit_flags {
constexpr uint32_t kRaisesEvents = 0x04;
constexpr uint32_t kRaisesEventsToo = 0x40;  // either bit lets the type raise events
constexpr uint32_t kContainer = 0x100;       // its child list is used
constexpr uint32_t kNoOwnState = 0x8000;     // no visible or enabled state of its own
// Bits whose meaning is not known, kept as the type's descriptor has them.
constexpr uint32_t Kept(uint32_t bits) { return bits; }
}  // namespace unit_flags

// A routine of a unit type, asked for by number; the window engine knows the
// numbers and the routines' forms.
using InterfaceRoutine = void* (*)(int32_t routineNumber);

struct UnitTypeDescriptor {
    const char* chineseName;
    const char* englishName;
    uint32_t flags;
    uint32_t propertyCount;  // the eight common ones included
    const PropertyDescriptor* properties;
    InterfaceRoutine interfaceRoutine;
};

struct LibraryDescriptor {
    const char* name;
    LibraryNotify notify;
    const CommandFunction* commands;  // the library's command table
    uint32_t commandCount;
    // By unit number from 1; entries of types this program does not use are null.
    const UnitTypeDescriptor* const* unitTypes;
    uint32_t unitTypeCount;
};

// The unit type that a type code ((library number << 16) | unit number)
// names among the attached libraries, or null.
const UnitTypeDescriptor* FindUnitType(uint32_t typeCode);

}  // namespace runtime
