// The application's only doors into the runtime: twelve fixed entry points,
// each a jump through one slot of the service table that stands before the
// application's constant block.
#pragma once

#include <cstdint>

#include "runtime/values.h"

extern "C" {

[[noreturn]] void RaiseRuntimeError(int32_t code);
// Register protocol (number in EAX, stdcall arguments on the stack): reached
// only through app::CallDeclared.
void CallDllCommand();
runtime::ArgRecord CallLibraryCommand(int32_t libraryIndex, runtime::CommandFunction command,
                                      int32_t argCount, const runtime::ArgRecord* args);
runtime::ArgRecord CallCoreCommand(runtime::CommandFunction command, int32_t argCount,
                                   const runtime::ArgRecord* args);
uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t index,
                       uint32_t valueLow, uint32_t valueHigh);
void* AllocMemory(uint32_t size);
void FreeMemory(void* block);
void EndProgram(int32_t exitCode);
void RunMessageLoop();
void LoadWindow(uint32_t windowId);
uint32_t NotifyRuntime(int32_t code, ...);

// Start of the application code; event-handler offsets count from here + 4.
extern const uint8_t AppCodeStart[];
}
