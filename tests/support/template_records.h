// Window templates built record by record for tests that load windows
// through the engine: the unit record layout of the template segment.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "ui/template_reader.h"

namespace unit_testing {

inline void PutWord(std::vector<uint8_t>& bytes, uint32_t word) {
    const auto* p = reinterpret_cast<const uint8_t*>(&word);
    bytes.insert(bytes.end(), p, p + 4);
}

inline void PutText(std::vector<uint8_t>& bytes, const char* text) {
    bytes.insert(bytes.end(), text, text + std::strlen(text) + 1);
}

struct RecordFields {
    uint32_t typeCode;
    const char* name;
    RECT rect;  // left, top, width, height
    uint32_t flags;
    std::vector<std::pair<int32_t, uint32_t>> events;
    std::vector<uint8_t> block;
};

inline std::vector<uint8_t> UnitRecord(const RecordFields& fields) {
    std::vector<uint8_t> body;
    PutWord(body, fields.typeCode);
    PutWord(body, 0);                              // link
    for (int i = 0; i < 4; ++i) PutWord(body, 0);  // 16 reserved bytes
    PutText(body, fields.name);
    PutText(body, "");  // remark
    PutWord(body, 0);   // object slot
    for (LONG field : {fields.rect.left, fields.rect.top, fields.rect.right, fields.rect.bottom}) {
        PutWord(body, static_cast<uint32_t>(field));
    }
    PutWord(body, 0);   // cursor slot
    PutWord(body, 0);   // parent: the window
    PutWord(body, 0);   // no children
    PutWord(body, 0);   // no mouse-pointer bytes
    PutText(body, "");  // tag
    PutWord(body, 0);   // reserved
    PutWord(body, fields.flags);
    PutWord(body, 0);  // focus order
    PutWord(body, static_cast<uint32_t>(fields.events.size()));
    for (const auto& binding : fields.events) {
        PutWord(body, static_cast<uint32_t>(binding.first));
        PutWord(body, binding.second);
    }
    for (int i = 0; i < 5; ++i) PutWord(body, 0);  // 20 reserved bytes
    body.insert(body.end(), fields.block.begin(), fields.block.end());
    std::vector<uint8_t> record;
    PutWord(record, static_cast<uint32_t>(body.size()));
    record.insert(record.end(), body.begin(), body.end());
    return record;
}

// A window template of these units (the window's own unit first) and their
// records, handlers already relocated.
inline ui::WindowTemplate WindowTemplateOf(uint32_t windowId, const std::vector<uint32_t>& unitIds,
                                           const std::vector<std::vector<uint8_t>>& records) {
    ui::WindowTemplate window;
    window.windowId = windowId;
    window.unitCount = static_cast<uint32_t>(unitIds.size());
    for (uint32_t id : unitIds) PutWord(window.unitBuffer, id);
    uint32_t offset = 0;
    for (const auto& record : records) {
        PutWord(window.unitBuffer, offset);
        offset += static_cast<uint32_t>(record.size());
    }
    for (const auto& record : records) {
        window.unitBuffer.insert(window.unitBuffer.end(), record.begin(), record.end());
    }
    return window;
}

}  // namespace unit_testing
