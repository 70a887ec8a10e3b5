#include "runtime/declared_calls.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/error_reporter.h"
#include "runtime/runtime_state.h"

namespace runtime {

namespace {

// Searched in this order when a declaration names no library.
const char* const kSystemLibraries[] = {"Kernel32.dll", "Gdi32.dll",   "User32.dll",
                                        "Advapi32.dll", "Mpr.dll",     "Shell32.dll"};

// GetProcAddress takes an ordinal in the low word of the name pointer.
LPCSTR ProcName(const char* entryName) {
    if (entryName[0] != '#') return entryName;
    const unsigned long ordinal = std::strtoul(entryName + 1, nullptr, 10);
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinal & 0xFFFF));
}

HMODULE LoadDeclaredLibrary(const char* name) {
    if (std::strchr(name, ':')) return ::LoadLibraryA(name);
    // The program's own directory first, so a DLL shipped beside it wins.
    const std::string besideProgram = State().runDirectory + "\\" + name;
    if (HMODULE module = ::LoadLibraryA(besideProgram.c_str())) return module;
    return ::LoadLibraryA(name);
}

}  // namespace

void PrepareDeclaredCalls(const AppHeader& header) {
    DeclaredCallTables& tables = State().declaredCalls;
    const uint32_t count = header.systemCallCount;
    tables.libraryNames.assign(header.systemCallLibraryNames, header.systemCallLibraryNames + count);
    tables.entryNames.assign(header.systemCallEntryNames, header.systemCallEntryNames + count);
    tables.modules.assign(count, nullptr);
    tables.entries.assign(count, nullptr);
}

void* BindDeclaredCall(uint32_t number) {
    DeclaredCallTables& tables = State().declaredCalls;
    if (number >= tables.entries.size()) RaiseRuntimeError(1);
    if (void* entry = tables.entries[number]) return entry;

    const char* libraryName = tables.libraryNames[number] ? tables.libraryNames[number] : "";
    const char* entryName = tables.entryNames[number] ? tables.entryNames[number] : "";
    const LPCSTR procName = ProcName(entryName);

    HMODULE module = nullptr;
    FARPROC entry = nullptr;
    if (*libraryName == '\0') {
        for (const char* candidate : kSystemLibraries) {
            module = ::LoadLibraryA(candidate);
            if (!module) continue;
            entry = ::GetProcAddress(module, procName);
            if (entry) break;
            ::FreeLibrary(module);
            module = nullptr;
        }
    } else {
        module = LoadDeclaredLibrary(libraryName);
        if (module) entry = ::GetProcAddress(module, procName);
    }

    if (!entry) {
        if (module) ::FreeLibrary(module);
        if (*libraryName == '\0') ReportFormatted(0, messages::kEntryMissing, entryName);
        ReportFormatted(0, messages::kEntryMissingInLibrary, libraryName, entryName);
    }
    tables.modules[number] = module;
    tables.entries[number] = reinterpret_cast<void*>(entry);
    return tables.entries[number];
}

void FreeDeclaredCallModules() {
    DeclaredCallTables& tables = State().declaredCalls;
    for (HMODULE module : tables.modules) {
        if (module) ::FreeLibrary(module);
    }
    tables = DeclaredCallTables{};
}

}  // namespace runtime

// Called from the assembly entry with the number it found in EAX.
extern "C" void* BindDeclaredCallForEntry(uint32_t number) {
    return runtime::BindDeclaredCall(number);
}
