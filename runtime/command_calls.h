// The command calling convention: the service zeroes a result record, calls the
// command with (result, count, records) and hands the result back.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

ArgRecord CallCoreCommand(CommandFunction command, int32_t argCount, const ArgRecord* args);
// A support library's command, its library named by its index in the
// application's library list (from 0; unit type codes count from 1 instead).
ArgRecord CallLibraryCommand(int32_t libraryIndex, CommandFunction command, int32_t argCount,
                             const ArgRecord* args);

constexpr int32_t kNoCallingLibrary = -1;
// Library index of the command now running through CallLibraryCommand,
// kNoCallingLibrary otherwise.
int32_t CallingLibrary();

}  // namespace runtime
