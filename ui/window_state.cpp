#include "ui/window_state.h"

#include <cstring>

namespace ui {

namespace {

// Never destroyed: a window's units go only when its native window goes
// (NativeWindowDestroyed) or its load is abandoned. Deleting them from a static
// destructor while the window is still open at the program's end would delete
// the window unit twice: its destructor destroys the native window, whose end
// has the engine delete the units again. Windows open at the end go with the
// process.
std::vector<std::unique_ptr<WindowState>>& States() {
    static auto* const states = new std::vector<std::unique_ptr<WindowState>>;
    return *states;
}

uint32_t LoadWord(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

void StoreWord(uint8_t* p, uint32_t value) { std::memcpy(p, &value, 4); }

}  // namespace

int32_t UnitRecordCopy::RectField(int index) const {
    return static_cast<int32_t>(LoadWord(bytes.data() + layout.rect + 4 * index));
}

void UnitRecordCopy::SetRectField(int index, int32_t value) {
    StoreWord(bytes.data() + layout.rect + 4 * index, static_cast<uint32_t>(value));
}

uint32_t UnitRecordCopy::StateFlags() const { return LoadWord(bytes.data() + layout.stateFlags); }

void UnitRecordCopy::SetStateFlags(uint32_t flags) {
    StoreWord(bytes.data() + layout.stateFlags, flags);
}

std::string UnitRecordCopy::Tag() const {
    return reinterpret_cast<const char*>(bytes.data() + layout.tag);
}

void UnitRecordCopy::SetTag(const std::string& tag) {
    const size_t oldLength =
        std::strlen(reinterpret_cast<const char*>(bytes.data() + layout.tag)) + 1;
    Splice(layout.tag, oldLength, tag + '\0');
}

std::string UnitRecordCopy::MousePointer() const {
    const uint32_t length = LoadWord(bytes.data() + layout.mousePointer);
    const char* data = reinterpret_cast<const char*>(bytes.data() + layout.mousePointer + 4);
    return std::string(data, length);
}

void UnitRecordCopy::SetMousePointer(const std::string& pointer) {
    const uint32_t oldLength = LoadWord(bytes.data() + layout.mousePointer);
    std::string counted(4, '\0');
    const uint32_t length = static_cast<uint32_t>(pointer.size());
    std::memcpy(&counted[0], &length, 4);
    Splice(layout.mousePointer, 4 + oldLength, counted + pointer);
}

std::string UnitRecordCopy::TypeBlock() const {
    return std::string(reinterpret_cast<const char*>(bytes.data() + layout.typeBlock),
                       layout.typeBlockLength);
}

void UnitRecordCopy::SetTypeBlock(const std::vector<uint8_t>& block) {
    Splice(layout.typeBlock, layout.typeBlockLength, std::string(block.begin(), block.end()));
}

uint32_t UnitRecordCopy::HandlerOf(int32_t event) const {
    for (uint32_t e = 0; e < layout.events; ++e) {
        const uint8_t* pair = bytes.data() + layout.eventCount + 4 + 8 * static_cast<size_t>(e);
        if (static_cast<int32_t>(LoadWord(pair)) == event) return LoadWord(pair + 4);
    }
    return 0;
}

uint32_t UnitRecordCopy::Parent() const { return LoadWord(bytes.data() + layout.parent); }

const char* UnitRecordCopy::Name() const {
    return reinterpret_cast<const char*>(bytes.data() + layout.name);
}

// Replaces a stretch of the record, fixes its size word and finds its fields again.
void UnitRecordCopy::Splice(size_t offset, size_t oldLength, const std::string& replacement) {
    bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(offset),
                bytes.begin() + static_cast<ptrdiff_t>(offset + oldLength));
    bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(offset), replacement.begin(),
                 replacement.end());
    StoreWord(bytes.data(), static_cast<uint32_t>(bytes.size() - 4));
    ParseUnitRecord(bytes.data(), bytes.size(), &layout);
}

LiveUnit* WindowState::FindUnit(uint32_t unitId) {
    for (LiveUnit& unit : units) {
        if (unit.record.unitId == unitId) return &unit;
    }
    return nullptr;
}

UnitRecordCopy* WindowState::FindRecord(uint32_t unitId) {
    if (!units.empty()) {
        LiveUnit* unit = FindUnit(unitId);
        return unit ? &unit->record : nullptr;
    }
    for (UnitRecordCopy& record : records) {
        if (record.unitId == unitId) return &record;
    }
    return nullptr;
}

bool BuildWindowStates(const std::vector<WindowTemplate>& templates) {
    std::vector<std::unique_ptr<WindowState>> states;
    for (const WindowTemplate& window : templates) {
        auto state = std::make_unique<WindowState>();
        state->windowId = window.windowId;
        for (uint32_t k = 0; k < window.unitCount; ++k) {
            size_t start = 0, available = 0;
            if (!LocateUnitRecord(window.unitBuffer, window.unitCount, k, &start, &available))
                return false;
            UnitRecordCopy record;
            record.unitId = LoadWord(window.unitBuffer.data() + 4 * static_cast<size_t>(k));
            const uint8_t* bytes = window.unitBuffer.data() + start;
            if (record.IsMenuItem()) continue;  // menus are built apart from the units
            if (!ParseUnitRecord(bytes, available, &record.layout)) return false;
            record.bytes.assign(bytes, bytes + 4 + record.layout.size);
            state->records.push_back(std::move(record));
        }
        states.push_back(std::move(state));
    }
    States() = std::move(states);
    return true;
}

WindowState* FindWindowState(uint32_t windowId) {
    for (auto& state : States()) {
        if (state->windowId == windowId) return state.get();
    }
    return nullptr;
}

WindowState* WindowStateOf(HWND window) {
    for (auto& state : States()) {
        if (state->hwnd == window) return state.get();
    }
    return nullptr;
}

}  // namespace ui
