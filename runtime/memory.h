// Memory services on the runtime heap. Texts, byte sets and arrays handed
// between commands and application code are blocks of this heap, or constants
// inside the application's constant block, which are never freed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/owned.h"

namespace runtime {

// Never returns null: exhaustion is a run-time error.
void* AllocMemory(uint32_t size);
// A constant is copied (as much as fits before the block's end) and left in place.
void* ReallocMemory(void* block, uint32_t size);
// Ignores null and constants.
void FreeMemory(void* block);

// The application's constant block, recorded at start-up.
void SetConstantBlock(const char* start, uint32_t length);
bool IsInConstantBlock(const void* p);

// A block of this heap, freed when its owner goes.
using OwnedBlock = Owned<NullEmptyTraits<void*, &FreeMemory>>;

// Results of commands: new heap blocks, null when empty.
char* NewText(const char* bytes, size_t length);
char* NewText(const char* zeroTerminated);
void* NewByteSet(const void* bytes, size_t length);

}  // namespace runtime
