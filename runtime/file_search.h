// One step of a directory search at a time, for the NotifyRuntime service.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

// Starts a search when *searchSlot is null, else continues it. Gives the next
// matching name as a new heap text; at the end it closes the search, clears the
// slot and gives null. "." and ".." never match. With a non-zero attribute mask
// an entry matches only if it has one of those attributes.
char* FileSearchStep(const char* pattern, uint32_t attributeMask, bool directoriesOnly,
                     HANDLE* searchSlot);
void FileSearchClose(HANDLE search);

}  // namespace runtime
