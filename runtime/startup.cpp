#include "runtime/startup.h"

#include <windows.h>
#include <ole2.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "runtime/command_calls.h"
#include "runtime/declared_calls.h"
#include "runtime/error_reporter.h"
#include "runtime/file_search.h"
#include "runtime/hidden_owner.h"
#include "runtime/libraries.h"
#include "runtime/memory.h"
#include "runtime/message_loop.h"
#include "runtime/owned.h"
#include "runtime/shutdown.h"
#include "runtime/window_engine.h"

namespace runtime {

namespace {

// What start-up learns of the program, kept for its whole life.
struct Program {
    const AppHeader* header = nullptr;
    // The header's words as start-up copies them (the build counted on by one);
    // kept for facilities of the runtime that this program does not use.
    uint32_t mode = 0;
    uint32_t reserved = 0;
    uint32_t buildNumber = 0;
    std::string runDirectory;  // without a trailing backslash
    std::string fileName;
    DWORD mainThreadId = 0;
    OleSession ole;  // from start-up to the end of the program
};

Program g_program;

template <typename Routine>
void* Slot(Routine routine) {
    return reinterpret_cast<void*>(routine);
}

// The program's path split at its last backslash; no backslash: the whole
// path is the file name.
void SplitProgramPath(Program& program) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const char* lastBackslash = std::strrchr(path, '\\');
    if (!lastBackslash) {
        program.runDirectory.clear();
        program.fileName = path;
        return;
    }
    program.runDirectory.assign(path, static_cast<size_t>(lastBackslash - path));
    program.fileName = lastBackslash + 1;
}

// "C:" alone would mean the drive's current directory, not its root.
void EnterRunDirectory(const std::string& runDirectory) {
    if (runDirectory.empty()) return;
    const std::string target = runDirectory.back() == ':' ? runDirectory + "\\" : runDirectory;
    ::SetCurrentDirectoryA(target.c_str());
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

}  // namespace

void AttachApplication(const AppHeader& header) {
    g_program.header = &header;

    auto* table = reinterpret_cast<ServiceTable*>(const_cast<char*>(header.constantBlockStart)) - 1;
    void* const services[] = {
        Slot(&RaiseRuntimeError), Slot(&CallDllCommandService),   Slot(&CallLibraryCommand),
        Slot(&CallCoreCommand),   Slot(&ReadUnitPropertyService), Slot(&WriteUnitPropertyService),
        Slot(&AllocMemory),       Slot(&ReallocMemory),           Slot(&FreeMemory),
        Slot(&EndProgram),        Slot(&RunMessageLoop),          Slot(&LoadWindowService),
        Slot(&NotifyRuntime),
    };
    static_assert(sizeof services == sizeof(ServiceTable), "one routine per slot");
    std::memcpy(table->slots, services, sizeof services);
}

void InitialiseRuntime() {
    Program& program = g_program;
    const AppHeader& header = *program.header;

    program.mode = header.mode;
    program.reserved = header.reserved;
    program.buildNumber = header.buildNumber + 1;
    if (!program.ole) program.ole = OleSession(SUCCEEDED(::OleInitialize(nullptr)));

    SplitProgramPath(program);
    EnterRunDirectory(program.runDirectory);

    CreateHiddenOwner();
    program.mainThreadId = ::GetCurrentThreadId();

    if (header.constantBlockLength > 0)
        SetConstantBlock(header.constantBlockStart, header.constantBlockLength);
    if (header.systemCallCount > 0) PrepareDeclaredCalls(header);
    AttachLibraries(header);
    if (const WindowEngine* engine = AttachedWindowEngine()) engine->start(header);
}

const std::string& ProgramRunDirectory() { return g_program.runDirectory; }

DWORD MainThreadId() { return g_program.mainThreadId; }

void EndOleSession() { g_program.ole.Reset(); }

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
        case notify::kFileSearchClose:
            FileSearchClose(va_arg(args, HANDLE));
            break;
        case notify::kMakeArrayWritable: {
            const uint32_t elementSize = va_arg(args, uint32_t);
            MakeArrayWritable(elementSize, va_arg(args, void**));
            break;
        }
        case notify::kAddEndRoutine:
            AddEndRoutine(va_arg(args, EndRoutine));
            break;
        case notify::kLibraryCall:
        case notify::kLibraryCallWithData: {
            const int32_t libraryNumber = va_arg(args, int32_t);
            const int32_t libraryCode = va_arg(args, int32_t);
            const uint32_t argument = va_arg(args, uint32_t);
            result = ForwardToLibrary(libraryNumber, libraryCode, argument,
                                      code == notify::kLibraryCallWithData);
            break;
        }
        case notify::kInitialise:
            InitialiseRuntime();
            break;
        default:
            break;
    }
    va_end(args);
    return result;
}

}  // namespace runtime
