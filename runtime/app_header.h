// The records an application hands to the runtime: its header, the service
// table that stands just before its constant block, and the descriptors of the
// support libraries it links.
#pragma once

#include <cstdint>

#include "runtime/library.h"
#include "runtime/values.h"

namespace runtime {

// Read once at start-up and never written.
struct AppHeader {
    uint32_t mode;
    uint32_t reserved;
    uint32_t buildNumber;
    const uint8_t* handlerBase;  // event-handler offsets in templates are added to this
    const char* constantBlockStart;
    uint32_t constantBlockLength;
    const uint8_t* templateDataStart;
    uint32_t templateDataLength;  // 0: no templates
    uint32_t libraryCount;
    const LibraryDescriptor* const* libraryTable;  // null entries allowed
    uint32_t systemCallCount;
    const char* const* systemCallLibraryNames;
    const char* const* systemCallEntryNames;  // "#N" names ordinal N
};
static_assert(sizeof(AppHeader) == 13 * 4, "the header has thirteen 32-bit fields");

enum class ServiceSlot : uint32_t {
    RaiseRuntimeError,
    CallDllCommand,
    CallLibraryCommand,
    CallCoreCommand,
    ReadUnitProperty,
    WriteUnitProperty,
    AllocMemory,
    ReallocMemory,
    FreeMemory,
    EndProgram,
    RunMessageLoop,
    LoadWindow,
    NotifyRuntime,
    Count
};

// Thirteen routine addresses, filled by the runtime before the application's
// start-up routine runs. Application code reaches them only through its own
// fixed entry points.
struct ServiceTable {
    void* slots[static_cast<uint32_t>(ServiceSlot::Count)];
};
static_assert(sizeof(ServiceTable) == 13 * 4, "the service table has thirteen slots");

namespace notify {
constexpr int32_t kFileSearchStep = 0;
constexpr int32_t kFileSearchClose = 1;
constexpr int32_t kMakeArrayWritable = 2;
constexpr int32_t kAddEndRoutine = 3;
constexpr int32_t kLibraryCall = 4;          // forwarded to a support library's notification entry
constexpr int32_t kLibraryCallWithData = 5;  // the same, with the library's data word
constexpr int32_t kInitialise = 6;
}  // namespace notify

// End routines receive their 0-based position in the list.
using EndRoutine = void (*)(int32_t position);

// Hook for run-time errors; a non-zero result suppresses the dialog.
using ErrorHook = int32_t (*)(int32_t code, const char* message);

}  // namespace runtime
