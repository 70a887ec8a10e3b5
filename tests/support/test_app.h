// The application data of the test programs: a header, a service table and a
// small constant block, laid out as every application lays them out.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace test_app {

enum TestCall : uint32_t {
    kOrdinalSeventeen,  // velmora_testdll.dll "#17"
    kTakesTwo,          // velmora_testdll.dll TakesTwo, stdcall (int, int)
    kMultiByteToWide,   // no library: found in Kernel32.dll
    kGetUserName,       // no library: found in Advapi32.dll
    kVersionBeside,     // version.dll, the copy beside the program
    kMissingEntry,      // velmora_testdll.dll NoSuchEntry
    kMissingAnywhere,   // no library, NoSuchEntryAnywhere
    kTestCallCount
};

constexpr int32_t kNumbers[] = {7, 8, 9};

struct Constants {
    char empty[1];
    char hello[6];
    alignas(4) int32_t numberArray[2 + 3];  // dimension count, size, three integers
    char testDll[20];
    char versionDll[12];
    char ordinal17[4];
    char takesTwo[9];
    char multiByteToWide[20];
    char getUserName[13];
    char versionEntry[24];
    char missingEntry[12];
    char missingAnywhere[20];
};

// The support libraries of the test program, by number from 1; each test
// program names its own in a libraries.cpp beside its tests.
extern const uint32_t kLibraryCount;
extern const runtime::LibraryDescriptor* const kLibraries[];

struct Image {
    runtime::ServiceTable services;
    Constants constants;
};

}  // namespace test_app

extern "C" test_app::Image g_appImage;
extern "C" const runtime::AppHeader g_appHeader;
