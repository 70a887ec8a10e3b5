// The single global runtime object.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/app_header.h"

namespace runtime {

struct DeclaredCallTables {
    std::vector<const char*> libraryNames;  // borrowed from the header; may be ""
    std::vector<const char*> entryNames;    // borrowed from the header
    std::vector<HMODULE> modules;           // 0 until bound; freed at the end
    std::vector<void*> entries;             // 0 until bound; never looked up again
};

struct IdleCallback {
    HWND window;
    void (*callback)(uint32_t data);
    uint32_t data;
};

struct RuntimeState {
    const AppHeader* header = nullptr;
    HANDLE heap = nullptr;

    uint32_t mode = 0;
    uint32_t reserved = 0;
    uint32_t buildNumber = 0;

    std::string programDirectory;  // with a trailing backslash
    std::string runDirectory;      // without a trailing backslash
    std::string programFileName;

    const char* constantStart = nullptr;
    const char* constantEnd = nullptr;

    DWORD mainThreadId = 0;
    HWND hiddenOwner = nullptr;
    bool oleInitialised = false;
    volatile bool ending = false;

    DeclaredCallTables declaredCalls;

    std::vector<const LibraryDescriptor*> libraries;
    std::vector<uint32_t> libraryData;
    int32_t callingLibrary = 0;  // library number of the command being called, 0 for the core

    std::vector<HWND> loadedWindows;
    std::vector<IdleCallback> idleCallbacks;
    std::vector<EndRoutine> endRoutines;

    uint32_t errorCount = 0;
    ErrorHook errorHook = nullptr;
    bool insideErrorHook = false;

    bool loopStarted = false;
};

RuntimeState& State();

}  // namespace runtime
