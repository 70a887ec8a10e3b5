// The command calling convention: the service zeroes a result record, calls the
// command with (result, count, records) and hands the result back.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

ArgRecord CallCoreCommand(CommandFunction command, int32_t argCount, const ArgRecord* args);
ArgRecord CallLibraryCommand(int32_t libraryNumber, CommandFunction command, int32_t argCount,
                             const ArgRecord* args);

// Library number of the command now running through CallLibraryCommand, 0 otherwise.
int32_t CallingLibrary();

}  // namespace runtime
