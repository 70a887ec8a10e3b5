#include "runtime/window_engine.h"

#include "runtime/error_reporter.h"

namespace runtime {

namespace {

const WindowEngine* g_engine = nullptr;

}  // namespace

void AttachWindowEngine(const WindowEngine& engine) { g_engine = &engine; }

const WindowEngine* AttachedWindowEngine() { return g_engine; }

void LoadWindowService(uint32_t windowId) {
    if (!g_engine) Report(messages::kLoadStartupWindowFailed, 0);
    g_engine->loadWindow(windowId);
}

uint64_t ReadUnitPropertyService(uint32_t windowId, uint32_t unitId, int32_t property,
                                 int32_t index) {
    if (!g_engine) Report(messages::kWindowOrUnitMissing, 0);
    return g_engine->readUnitProperty(windowId, unitId, property, index);
}

void WriteUnitPropertyService(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                              uint32_t valueLow, uint32_t valueHigh) {
    if (!g_engine) Report(messages::kWindowOrUnitMissing, 0);
    g_engine->writeUnitProperty(windowId, unitId, property, index, valueLow, valueHigh);
}

}  // namespace runtime
