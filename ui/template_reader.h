// Reading the window-template segment embedded in the program: a window table
// followed by one template per window. Pure over bytes; creating windows is
// the loader's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

struct WindowTemplate {
    uint32_t windowId = 0;
    // Two header words and two texts nothing reads: kept as the template has them.
    uint32_t keptHeaderWordA = 0;
    uint32_t keptHeaderWordB = 0;
    std::string keptTextA;
    std::string keptTextB;
    uint32_t unitCount = 0;
    // N unit ids, N record offsets (from the end of the offsets), the records.
    std::vector<uint8_t> unitBuffer;
};

struct TemplateSegment {
    std::vector<WindowTemplate> windows;
    size_t consumed = 0;  // bytes read; the segment ends with its last template
};

// Reads the segment and relocates every event handler: an offset becomes
// handlerBase + offset, 0xFFFFFFFF becomes 0 (no handler). False when anything
// is truncated or a length points past the end.
bool ReadTemplateSegment(const uint8_t* data, size_t length, const uint8_t* handlerBase,
                         TemplateSegment* segment);

// Where record k of a unit buffer starts and how many bytes follow it in the
// buffer; false when the buffer's tables do not hold.
bool LocateUnitRecord(const std::vector<uint8_t>& unitBuffer, uint32_t unitCount, uint32_t index,
                      size_t* start, size_t* available);

}  // namespace ui
