#include "runtime/memory.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "runtime/command_args.h"
#include "runtime/error_reporter.h"
#include "runtime/values.h"

namespace runtime {

namespace {

// The application's constant block: blocks inside it are never freed.
const char* g_constantStart = nullptr;
const char* g_constantEnd = nullptr;

HANDLE Heap() { return ::GetProcessHeap(); }

[[noreturn]] void ReportExhaustion(uint32_t size) {
    ReportFormatted(0, messages::kAllocationFailed, static_cast<int>(size));
}

}  // namespace

void SetConstantBlock(const char* start, uint32_t length) {
    g_constantStart = start;
    g_constantEnd = start + length;
}

bool IsInConstantBlock(const void* p) {
    const char* c = static_cast<const char*>(p);
    return g_constantStart && c >= g_constantStart && c < g_constantEnd;
}

void* AllocMemory(uint32_t size) {
    void* block = ::HeapAlloc(Heap(), 0, size);
    if (!block) ReportExhaustion(size);
    return block;
}

void* ReallocMemory(void* block, uint32_t size) {
    if (!block) return AllocMemory(size);
    if (IsInConstantBlock(block)) {
        void* copy = AllocMemory(size);
        const uint32_t available = static_cast<uint32_t>(g_constantEnd - static_cast<char*>(block));
        std::memcpy(copy, block, size < available ? size : available);
        return copy;
    }
    void* resized = ::HeapReAlloc(Heap(), 0, block, size);
    if (!resized) ReportExhaustion(size);
    return resized;
}

void StoreText(char** variable, char* text) { FreeMemory(std::exchange(*variable, text)); }

void FreeMemory(void* block) {
    if (!block || IsInConstantBlock(block)) return;
    ::HeapFree(Heap(), 0, block);
}

char* NewText(const char* bytes, size_t length) {
    if (length == 0) return nullptr;
    char* text = static_cast<char*>(AllocMemory(static_cast<uint32_t>(length + 1)));
    std::memcpy(text, bytes, length);
    text[length] = '\0';
    return text;
}

char* NewText(const char* zeroTerminated) {
    return zeroTerminated ? NewText(zeroTerminated, std::strlen(zeroTerminated)) : nullptr;
}

void* NewByteSet(const void* bytes, size_t length) {
    if (length == 0) return nullptr;
    auto* header = static_cast<ByteSetHeader*>(
        AllocMemory(static_cast<uint32_t>(sizeof(ByteSetHeader) + length)));
    header->dimensionCount = 1;
    header->length = static_cast<int32_t>(length);
    std::memcpy(header + 1, bytes, length);
    return header;
}

}  // namespace runtime

// C++ allocations fail as the runtime's own do: the run-time error reporter
// names the size and ends the program. The code is built without exceptions,
// so nothing could catch a bad_alloc, and nothing may unwind through a window
// procedure, a COM method or a command.
void* operator new(size_t size) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    runtime::ReportFormatted(0, runtime::messages::kAllocationFailed, static_cast<int>(size));
}

void* operator new[](size_t size) { return operator new(size); }
