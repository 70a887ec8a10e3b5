// The window engine as the runtime sees it: routines of the layer above that
// the runtime's services, message loop, message boxes and library callbacks
// lead into. The engine hands them over when the library that carries it
// attaches; until then there are no windows, and the window services report
// that none is loaded.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/app_header.h"

namespace runtime {

struct WindowEngine {
    // Once every library has attached: take in the application's templates.
    void (*start)(const AppHeader& header);
    // The window services of the service table.
    void (*loadWindow)(uint32_t windowId);
    uint64_t (*readUnitProperty)(uint32_t windowId, uint32_t unitId, int32_t property,
                                 int32_t index);
    void (*writeUnitProperty)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                              uint32_t valueLow, uint32_t valueHigh);
    // Every message a message loop takes goes through here first; true when
    // the engine used it up.
    bool (*filterMessage)(MSG& message);
    // The native window of a window or unit, null when there is none.
    HWND (*nativeWindowOf)(uint32_t windowId, uint32_t unitId);
    // Library callbacks: the object of a loaded unit (a missing one is a
    // run-time error), a unit that deletes itself, and raising an event.
    void* (*findLoadedUnit)(uint32_t windowId, uint32_t unitId);
    void (*forgetUnit)(uint32_t windowId, uint32_t unitId);
    bool (*raiseEvent)(void* eventRecord);
    // At the program's end: the icons the engine made for windows go.
    void (*releaseIcons)();
};

// Kept for the life of the program.
void AttachWindowEngine(const WindowEngine& engine);
// Null while no engine is attached.
const WindowEngine* AttachedWindowEngine();

// The three window slots of the service table.
void LoadWindowService(uint32_t windowId);
uint64_t ReadUnitPropertyService(uint32_t windowId, uint32_t unitId, int32_t property,
                                 int32_t index);
void WriteUnitPropertyService(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                              uint32_t valueLow, uint32_t valueHigh);

}  // namespace runtime
