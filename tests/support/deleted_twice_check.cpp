// Linked into a test program to catch an object deleted twice, which the heap
// mostly lets pass. A deleted block is kept, never freed, so that no later
// block gets its address, and its address is remembered: a second delete of
// it is said on the standard error and ends the program at once with exit
// code 3.
#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

// Open addressing, kept at most half full; far more deletes than a test
// program makes.
constexpr size_t kSlots = size_t{1} << 18;
void* g_deleted[kSlots];
size_t g_deletedCount = 0;
SRWLOCK g_lock = SRWLOCK_INIT;  // units may be deleted on other threads

[[noreturn]] void Fail(const char* what, void* block) {
    std::fprintf(stderr, "%s %p\n", what, block);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    for (;;) {
    }
}

// The slot that holds block, or the empty one where it goes.
void*& SlotOf(void* block) {
    size_t i = (reinterpret_cast<uintptr_t>(block) >> 3) % kSlots;
    while (g_deleted[i] && g_deleted[i] != block) i = (i + 1) % kSlots;
    return g_deleted[i];
}

}  // namespace

void operator delete(void* block) noexcept {
    if (!block) return;
    ::AcquireSRWLockExclusive(&g_lock);
    void*& slot = SlotOf(block);
    if (slot) Fail("object deleted twice:", block);
    if (++g_deletedCount > kSlots / 2) Fail("too many deletes to check, at", block);
    slot = block;
    ::ReleaseSRWLockExclusive(&g_lock);
}

void operator delete(void* block, size_t /*size*/) noexcept { operator delete(block); }
