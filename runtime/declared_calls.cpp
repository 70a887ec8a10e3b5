#include "runtime/declared_calls.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/error_reporter.h"
#include "runtime/owned.h"
#include "runtime/startup.h"

namespace runtime {

namespace {

// One entry per declaration, bound on first use. Declared calls are made from
// worker threads too, so the tables are read and bound under one lock.
struct DeclaredCallTables {
    std::vector<const char*> libraryNames;  // borrowed from the header; may be ""
    std::vector<const char*> entryNames;    // borrowed from the header
    std::vector<UniqueModule> modules;      // empty until bound; freed at the end
    std::vector<void*> entries;             // 0 until bound; never looked up again
};

DeclaredCallTables g_tables;
std::mutex g_tablesLock;

// Searched in this order when a declaration names no library.
const char* const kSystemLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                        "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

// GetProcAddress takes an ordinal in the low word of the name pointer.
LPCSTR ProcName(const char* entryName) {
    if (entryName[0] != '#') return entryName;
    const unsigned long ordinal = std::strtoul(entryName + 1, nullptr, 10);
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinal & 0xFFFF));
}

HMODULE LoadDeclaredLibrary(const char* name) {
    if (std::strchr(name, ':')) return ::LoadLibraryA(name);
    // The program's own directory first, so a DLL shipped beside it wins.
    const std::string besideProgram = ProgramRunDirectory() + "\\" + name;
    if (HMODULE module = ::LoadLibraryA(besideProgram.c_str())) return module;
    return ::LoadLibraryA(name);
}

}  // namespace

void PrepareDeclaredCalls(const AppHeader& header) {
    const std::lock_guard<std::mutex> lock(g_tablesLock);
    DeclaredCallTables& tables = g_tables;
    const uint32_t count = header.systemCallCount;
    tables.libraryNames.assign(header.systemCallLibraryNames,
                               header.systemCallLibraryNames + count);
    tables.entryNames.assign(header.systemCallEntryNames, header.systemCallEntryNames + count);
    tables.modules.clear();
    tables.modules.resize(count);
    tables.entries.assign(count, nullptr);
}

void* BindDeclaredCall(uint32_t number) {
    DeclaredCallTables& tables = g_tables;
    std::unique_lock<std::mutex> lock(g_tablesLock);
    if (number >= tables.entries.size()) {
        lock.unlock();
        RaiseRuntimeError(1);
    }
    if (void* entry = tables.entries[number]) return entry;

    const char* libraryName = tables.libraryNames[number] ? tables.libraryNames[number] : "";
    const char* entryName = tables.entryNames[number] ? tables.entryNames[number] : "";
    const LPCSTR procName = ProcName(entryName);

    UniqueModule module;
    FARPROC entry = nullptr;
    if (*libraryName == '\0') {
        for (const char* candidate : kSystemLibraries) {
            module.Reset(::LoadLibraryA(candidate));
            if (module && (entry = ::GetProcAddress(module.get(), procName))) break;
        }
    } else {
        module.Reset(LoadDeclaredLibrary(libraryName));
        if (module) entry = ::GetProcAddress(module.get(), procName);
    }

    if (!entry) {
        // The report shows a message box, whose messages may make declared calls.
        lock.unlock();
        module.Reset();
        if (*libraryName == '\0') ReportFormatted(0, messages::kEntryMissing, entryName);
        ReportFormatted(0, messages::kEntryMissingInLibrary, libraryName, entryName);
    }
    tables.modules[number] = std::move(module);
    tables.entries[number] = reinterpret_cast<void*>(entry);
    return tables.entries[number];
}

HMODULE DeclaredCallModule(uint32_t number) {
    const std::lock_guard<std::mutex> lock(g_tablesLock);
    return number < g_tables.modules.size() ? g_tables.modules[number].get() : nullptr;
}

void* DeclaredCallEntry(uint32_t number) {
    const std::lock_guard<std::mutex> lock(g_tablesLock);
    return number < g_tables.entries.size() ? g_tables.entries[number] : nullptr;
}

void FreeDeclaredCallModules() {
    const std::lock_guard<std::mutex> lock(g_tablesLock);
    g_tables = DeclaredCallTables{};
}

}  // namespace runtime

// Called from the assembly entry with the number it found in EAX.
extern "C" void* BindDeclaredCallForEntry(uint32_t number) {
    return runtime::BindDeclaredCall(number);
}
