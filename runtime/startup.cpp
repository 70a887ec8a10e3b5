#include "runtime/startup.h"

#include <windows.h>
#include <ole2.h>

#include <cstdarg>
#include <cstring>

#include "runtime/command_calls.h"
#include "runtime/declared_calls.h"
#include "runtime/error_reporter.h"
#include "runtime/file_search.h"
#include "runtime/hidden_owner.h"
#include "runtime/memory.h"
#include "runtime/message_loop.h"
#include "runtime/runtime_state.h"
#include "runtime/shutdown.h"
#include "runtime/window_engine.h"

namespace runtime {

namespace {

template <typename Routine>
void* Slot(Routine routine) {
    return reinterpret_cast<void*>(routine);
}

void SplitProgramPath(RuntimeState& state) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const char* lastBackslash = std::strrchr(path, '\\');
    if (!lastBackslash) {
        state.runDirectory.clear();
        state.programFileName = path;
        return;
    }
    state.runDirectory.assign(path, static_cast<size_t>(lastBackslash - path));
    state.programFileName = lastBackslash + 1;
}

// "C:" alone would mean the drive's current directory, not its root.
void EnterRunDirectory(const std::string& runDirectory) {
    if (runDirectory.empty()) return;
    const std::string target = runDirectory.back() == ':' ? runDirectory + "\\" : runDirectory;
    ::SetCurrentDirectoryA(target.c_str());
}

void AttachLibraries(RuntimeState& state, const AppHeader& header) {
    const auto* table = header.libraryTable;
    for (uint32_t i = 0; i < header.libraryCount; ++i) {
        if (table[i] && table[i]->notify) {
            table[i]->notify(library_notify::kAttach, reinterpret_cast<uint32_t>(&LibraryCallback), 0);
        }
    }
    state.libraries.assign(table, table + header.libraryCount);
    state.libraryData.assign(header.libraryCount, 0);
}

// Notification 2: a constant array becomes a heap copy that may be written.
void MakeArrayWritable(uint32_t elementSize, void** arraySlot) {
    void* block = *arraySlot;
    if (!block || !IsInConstantBlock(block)) return;
    const uint32_t size = ArrayHeaderSize(block) + ArrayElementCount(block) * elementSize;
    void* copy = AllocMemory(size);
    std::memcpy(copy, block, size);
    *arraySlot = copy;
}

// Notifications 4 and 5 go on to the support library named by number.
uint32_t ForwardToLibrary(int32_t libraryNumber, int32_t code, uint32_t argument, bool withData) {
    RuntimeState& state = State();
    const size_t index = static_cast<size_t>(libraryNumber - 1);
    if (libraryNumber < 1 || index >= state.libraries.size()) return 0;
    const LibraryDescriptor* library = state.libraries[index];
    if (!library || !library->notify) return 0;
    return library->notify(code, argument, withData ? state.libraryData[index] : 0);
}

}  // namespace

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

void AttachApplication(const AppHeader& header) {
    RuntimeState& state = State();
    state.header = &header;

    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (char* lastBackslash = std::strrchr(path, '\\')) lastBackslash[1] = '\0';
    state.programDirectory = path;

    auto* table = reinterpret_cast<ServiceTable*>(const_cast<char*>(header.constantBlockStart)) - 1;
    void* const services[] = {
        Slot(&RaiseRuntimeError), Slot(&CallDllCommandService), Slot(&CallLibraryCommand),
        Slot(&CallCoreCommand),   Slot(&ReadUnitPropertyService),
        Slot(&WriteUnitPropertyService),
        Slot(&AllocMemory),       Slot(&ReallocMemory),         Slot(&FreeMemory),
        Slot(&EndProgram),        Slot(&RunMessageLoop),        Slot(&LoadWindowService),
        Slot(&NotifyRuntime),
    };
    static_assert(sizeof services == sizeof(ServiceTable), "one routine per slot");
    std::memcpy(table->slots, services, sizeof services);
}

void InitialiseRuntime() {
    RuntimeState& state = State();
    const AppHeader& header = *state.header;

    state.heap = ::GetProcessHeap();
    state.mode = header.mode;
    state.reserved = header.reserved;
    state.buildNumber = header.buildNumber + 1;

    if (!state.oleInitialised) {
        ::OleInitialize(nullptr);
        state.oleInitialised = true;
    }

    SplitProgramPath(state);
    EnterRunDirectory(state.runDirectory);

    state.hiddenOwner = CreateHiddenOwner();
    state.mainThreadId = ::GetCurrentThreadId();

    if (header.constantBlockLength > 0) {
        state.constantStart = header.constantBlockStart;
        state.constantEnd = header.constantBlockStart + header.constantBlockLength;
    }
    if (header.systemCallCount > 0) PrepareDeclaredCalls(header);
    AttachLibraries(state, header);
    if (const WindowEngine* engine = AttachedWindowEngine()) engine->start(header);
}

uint32_t NotifyRuntime(int32_t code, ...) {
    va_list args;
    va_start(args, code);
    uint32_t result = 0;
    switch (code) {
        case notify::kFileSearchStep: {
            const char* pattern = va_arg(args, const char*);
            const uint32_t attributeMask = va_arg(args, uint32_t);
            const uint32_t directoriesOnly = va_arg(args, uint32_t);
            HANDLE* searchSlot = va_arg(args, HANDLE*);
            result = reinterpret_cast<uint32_t>(
                FileSearchStep(pattern, attributeMask, directoriesOnly != 0, searchSlot));
            break;
        }
        case notify::kFileSearchClose: FileSearchClose(va_arg(args, HANDLE)); break;
        case notify::kMakeArrayWritable: {
            const uint32_t elementSize = va_arg(args, uint32_t);
            MakeArrayWritable(elementSize, va_arg(args, void**));
            break;
        }
        case notify::kAddEndRoutine: AddEndRoutine(va_arg(args, EndRoutine)); break;
        case notify::kLibraryCall:
        case notify::kLibraryCallWithData: {
            const int32_t libraryNumber = va_arg(args, int32_t);
            const int32_t libraryCode = va_arg(args, int32_t);
            const uint32_t argument = va_arg(args, uint32_t);
            result = ForwardToLibrary(libraryNumber, libraryCode, argument,
                                      code == notify::kLibraryCallWithData);
            break;
        }
        case notify::kInitialise: InitialiseRuntime(); break;
        default: break;
    }
    va_end(args);
    return result;
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
        case library_callback::kAllocate: return reinterpret_cast<uint32_t>(AllocMemory(arg1));
        case library_callback::kFree: FreeMemory(reinterpret_cast<void*>(arg1)); return 0;
        case library_callback::kRaiseEvent:
            return engine && engine->raiseEvent(reinterpret_cast<void*>(arg1)) ? 1 : 0;
        default: return 0;
    }
}

const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
    const std::vector<const LibraryDescriptor*>& libraries = State().libraries;
    const uint32_t library = typeCode >> 16;
    const uint32_t number = typeCode & 0xFFFF;
    if (library < 1 || library > libraries.size() || !libraries[library - 1]) return nullptr;
    const LibraryDescriptor& descriptor = *libraries[library - 1];
    if (number < 1 || number > descriptor.unitTypeCount) return nullptr;
    return descriptor.unitTypes[number - 1];
}

}  // namespace runtime
