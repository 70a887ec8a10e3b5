#include "ui/template_reader.h"

#include <cstring>

#include "ui/byte_reader.h"
#include "ui/unit_record.h"

namespace ui {

namespace {

constexpr uint32_t kNoHandler = 0xFFFFFFFF;

uint32_t LoadWord(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

void StoreWord(uint8_t* p, uint32_t value) { std::memcpy(p, &value, 4); }

void Relocate(uint8_t* handlerField, const uint8_t* handlerBase) {
    const uint32_t offset = LoadWord(handlerField);
    StoreWord(handlerField,
              offset == kNoHandler ? 0 : reinterpret_cast<uint32_t>(handlerBase) + offset);
}

bool RelocateHandlers(WindowTemplate& window, const uint8_t* handlerBase) {
    for (uint32_t k = 0; k < window.unitCount; ++k) {
        size_t start = 0, available = 0;
        if (!LocateUnitRecord(window.unitBuffer, window.unitCount, k, &start, &available))
            return false;
        uint8_t* record = window.unitBuffer.data() + start;
        const uint32_t unitId = LoadWord(window.unitBuffer.data() + 4 * static_cast<size_t>(k));
        if (IdentifierKind(unitId) == kMenuItemKind) {
            size_t handler = 0;
            if (!ParseMenuItemRecord(record, available, &handler)) return false;
            Relocate(record + handler, handlerBase);
            continue;
        }
        UnitRecordLayout layout;
        if (!ParseUnitRecord(record, available, &layout)) return false;
        for (uint32_t e = 0; e < layout.events; ++e) {
            Relocate(record + layout.eventCount + 4 + 8 * static_cast<size_t>(e) + 4, handlerBase);
        }
    }
    return true;
}

bool ReadWindowTemplate(ByteReader& reader, WindowTemplate& window) {
    window.keptHeaderWordA = reader.U32();
    window.keptHeaderWordB = reader.U32();
    window.keptTextA = reader.CountedText();
    window.keptTextB = reader.CountedText();
    window.unitCount = reader.U32();
    uint32_t length = 0;
    const uint8_t* buffer = reader.Counted(&length);
    if (!reader.ok()) return false;
    window.unitBuffer.assign(buffer, buffer + length);
    return true;
}

}  // namespace

bool LocateUnitRecord(const std::vector<uint8_t>& unitBuffer, uint32_t unitCount, uint32_t index,
                      size_t* start, size_t* available) {
    const size_t tables = 8 * static_cast<size_t>(unitCount);
    if (index >= unitCount || unitCount > unitBuffer.size() / 8) return false;
    const uint32_t offset =
        LoadWord(unitBuffer.data() + 4 * (static_cast<size_t>(unitCount) + index));
    if (offset > unitBuffer.size() - tables) return false;
    *start = tables + offset;
    *available = unitBuffer.size() - *start;
    return true;
}

bool ReadTemplateSegment(const uint8_t* data, size_t length, const uint8_t* handlerBase,
                         TemplateSegment* segment) {
    ByteReader reader(data, length);
    uint32_t tableLength = 0;
    const uint8_t* table = reader.Counted(&tableLength);
    if (!reader.ok() || tableLength % 8 != 0) return false;

    const uint32_t windowCount = tableLength / 8;
    segment->windows.assign(windowCount, WindowTemplate{});
    for (uint32_t w = 0; w < windowCount; ++w) {
        WindowTemplate& window = segment->windows[w];
        window.windowId = LoadWord(table + 4 * static_cast<size_t>(w));
        if (!ReadWindowTemplate(reader, window) || !RelocateHandlers(window, handlerBase)) {
            segment->windows.clear();
            return false;
        }
    }
    // The segment ends with its last template: bytes after it mean the
    // lengths inside did not describe it.
    if (reader.remaining() != 0) {
        segment->windows.clear();
        return false;
    }
    segment->consumed = reader.position();
    return true;
}

}  // namespace ui
