// The interface routines most unit types share: a unit class with the members
// Set(index, value, recreate), Get(index, value) and WriteBlock() gets its
// routines 4, 5 and 6 from here, and its type adds what is its own.
#pragma once

#include "ui/unit_type.h"

namespace ui {

template <typename Routine>
void* AsRoutine(Routine routine) {
    return reinterpret_cast<void*>(routine);
}

template <typename UnitClass>
struct MemberRoutines {
    static void Set(Unit* unit, int32_t index, const PropertyValue& value, int32_t* recreate) {
        static_cast<UnitClass*>(unit)->Set(index, value, recreate);
    }
    static std::vector<uint8_t> WriteBlock(Unit* unit) { return static_cast<UnitClass*>(unit)->WriteBlock(); }
    static bool Get(Unit* unit, int32_t index, PropertyValue* value) {
        return unit && static_cast<UnitClass*>(unit)->Get(index, value);
    }

    // Routines 1, 4, 5 and 6; null for any other number.
    static void* Common(int32_t number, CreateRoutine create) {
        switch (number) {
            case routine::kCreate: return AsRoutine<CreateRoutine>(create);
            case routine::kSetProperty: return AsRoutine<SetPropertyRoutine>(&Set);
            case routine::kWriteTypeBlock: return AsRoutine<WriteTypeBlockRoutine>(&WriteBlock);
            case routine::kGetProperty: return AsRoutine<GetPropertyRoutine>(&Get);
            default: return nullptr;
        }
    }
};

}  // namespace ui
