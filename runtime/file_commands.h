// Core commands on files and directories. Relative paths are relative to the
// current directory, which start-up sets to the program's directory.
#pragma once

#include "runtime/values.h"

namespace runtime {

// () -> text: the program's directory, without a trailing backslash.
void RunDirectory(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (file name, [largest length]) -> byte set: the whole file; empty on any
// failure and for a file longer than the largest length.
void ReadWholeFile(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (file name, byte set, [byte sets...]) -> logical: the file replaced by the data.
void WriteWholeFile(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (directory name) -> logical: the directory and everything in it removed.
void RemoveDirectoryTree(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
