#include "ui/unit_record.h"

#include "ui/byte_reader.h"

namespace ui {

namespace {

constexpr size_t kReservedAfterLink = 16;
constexpr size_t kReservedAfterEvents = 20;

}  // namespace

bool ParseUnitRecord(const uint8_t* record, size_t available, UnitRecordLayout* layout) {
    ByteReader sizeReader(record, available);
    layout->size = sizeReader.U32();
    if (!sizeReader.ok() || layout->size > sizeReader.remaining()) return false;

    const size_t end = 4 + static_cast<size_t>(layout->size);
    ByteReader reader(record, end);
    reader.Skip(4);
    layout->typeCode = reader.U32();
    layout->link = reader.U32();
    reader.Skip(kReservedAfterLink);
    layout->name = reader.position();
    reader.Terminated();
    layout->remark = reader.position();
    reader.Terminated();
    layout->objectSlot = reader.position();
    reader.Skip(4);
    layout->rect = reader.position();
    reader.Skip(16);
    layout->cursorSlot = reader.position();
    reader.Skip(4);
    layout->parent = reader.position();
    reader.Skip(4);
    layout->childCount = reader.position();
    const uint32_t children = reader.U32();
    if (children > reader.remaining() / 4) return false;
    reader.Skip(4 * static_cast<size_t>(children));
    layout->mousePointer = reader.position();
    uint32_t pointerLength = 0;
    reader.Counted(&pointerLength);
    layout->tag = reader.position();
    reader.Terminated();
    reader.Skip(4);  // reserved word
    layout->stateFlags = reader.position();
    reader.Skip(4);
    layout->focusOrder = reader.position();
    reader.Skip(4);
    layout->eventCount = reader.position();
    layout->events = reader.U32();
    if (layout->events > reader.remaining() / 8) return false;
    reader.Skip(8 * static_cast<size_t>(layout->events));
    reader.Skip(kReservedAfterEvents);
    if (!reader.ok()) return false;
    layout->typeBlock = reader.position();
    layout->typeBlockLength = end - reader.position();
    return true;
}

bool ParseMenuItemRecord(const uint8_t* record, size_t available, size_t* handlerOffset) {
    // size, type code, link, 16 reserved bytes, name, remark, then the handler.
    ByteReader reader(record, available);
    const uint32_t size = reader.U32();
    if (!reader.ok() || size > reader.remaining()) return false;
    ByteReader inside(record, 4 + static_cast<size_t>(size));
    inside.Skip(4 + 4 + 4 + kReservedAfterLink);
    inside.Terminated();
    inside.Terminated();
    *handlerOffset = inside.position();
    inside.Skip(4);
    return inside.ok();
}

}  // namespace ui
