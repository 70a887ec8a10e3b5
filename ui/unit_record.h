// The unit records of a window template: where each field of a record lies.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ui {

// Offsets are from the start of the record (its size field).
struct UnitRecordLayout {
    uint32_t size;  // bytes after the size field
    uint32_t typeCode;
    uint32_t link;
    size_t name;
    size_t remark;
    size_t objectSlot;
    size_t rect;  // left, top, width, height
    size_t cursorSlot;
    size_t parent;
    size_t childCount;
    size_t mousePointer;  // counted bytes
    size_t tag;
    size_t stateFlags;
    size_t focusOrder;
    size_t eventCount;  // then pairs of event number and handler
    uint32_t events;
    size_t typeBlock;
    size_t typeBlockLength;  // 0: no block
};

constexpr uint32_t kMenuItemKind = 2;
constexpr uint32_t IdentifierKind(uint32_t id) { return id >> 28; }

// False when the record, or any field inside it, runs past `available` bytes.
bool ParseUnitRecord(const uint8_t* record, size_t available, UnitRecordLayout* layout);

// Menu items carry one handler where other records have their event list.
bool ParseMenuItemRecord(const uint8_t* record, size_t available, size_t* handlerOffset);

}  // namespace ui
