#include "runtime/libraries.h"

#include <vector>

#include "runtime/error_reporter.h"
#include "runtime/memory.h"
#include "runtime/window_engine.h"

namespace runtime {

namespace {

struct AttachedLibrary {
    const LibraryDescriptor* descriptor;  // may be null: a table entry left empty
    uint32_t data;                        // the library's data word
};

std::vector<AttachedLibrary> g_libraries;

const AttachedLibrary* LibraryByNumber(uint32_t number) {
    return number >= 1 && number <= g_libraries.size() && g_libraries[number - 1].descriptor
               ? &g_libraries[number - 1]
               : nullptr;
}

}  // namespace

void AttachLibraries(const AppHeader& header) {
    const auto* table = header.libraryTable;
    for (uint32_t i = 0; i < header.libraryCount; ++i) {
        if (table[i] && table[i]->notify) {
            table[i]->notify(library_notify::kAttach, reinterpret_cast<uint32_t>(&LibraryCallback),
                             0);
        }
    }
    g_libraries.clear();
    for (uint32_t i = 0; i < header.libraryCount; ++i) g_libraries.push_back({table[i], 0});
}

void EndLibraries() {
    for (const AttachedLibrary& library : g_libraries) {
        if (library.descriptor && library.descriptor->notify) {
            library.descriptor->notify(library_notify::kEnd, library.data, 0);
        }
    }
    g_libraries.clear();
}

uint32_t ForwardToLibrary(int32_t libraryNumber, int32_t code, uint32_t argument, bool withData) {
    const AttachedLibrary* library = LibraryByNumber(static_cast<uint32_t>(libraryNumber));
    if (!library || !library->descriptor->notify) return 0;
    return library->descriptor->notify(code, argument, withData ? library->data : 0);
}

uint32_t LibraryCallback(int32_t code, uint32_t arg1, uint32_t arg2) {
    const WindowEngine* engine = AttachedWindowEngine();
    switch (code) {
        case library_callback::kUnitGone:
            if (engine) engine->forgetUnit(arg1, arg2);
            return 0;
        case library_callback::kFindUnit:
            if (!engine) Report(messages::kWindowOrUnitMissing, 0);
            return reinterpret_cast<uint32_t>(engine->findLoadedUnit(arg1, arg2));
        case library_callback::kAllocate:
            return reinterpret_cast<uint32_t>(AllocMemory(arg1));
        case library_callback::kFree:
            FreeMemory(reinterpret_cast<void*>(arg1));
            return 0;
        case library_callback::kRaiseEvent:
            return engine && engine->raiseEvent(reinterpret_cast<void*>(arg1)) ? 1 : 0;
        default:
            return 0;
    }
}

const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
    const AttachedLibrary* library = LibraryByNumber(typeCode >> 16);
    const uint32_t number = typeCode & 0xFFFF;
    if (!library || number < 1 || number > library->descriptor->unitTypeCount) return nullptr;
    return library->descriptor->unitTypes[number - 1];
}

}  // namespace runtime
