#include "tests/support/test_app.h"

#include "app/runtime_entries.h"

test_app::Image g_appImage = {
    {},
    {
        "",
        "hello",
        {1, 3, test_app::kNumbers[0], test_app::kNumbers[1], test_app::kNumbers[2]},
        "velmora_testdll.dll",
        "version.dll",
        "#17",
        "TakesTwo",
        "MultiByteToWideChar",
        "GetUserNameA",
        "GetFileVersionInfoSizeA",
        "NoSuchEntry",
        "NoSuchEntryAnywhere",
    },
};

namespace {

constexpr const test_app::Constants& k = g_appImage.constants;

const char* const kLibraries[test_app::kTestCallCount] = {
    k.testDll, k.testDll, k.empty, k.empty, k.versionDll, k.testDll, k.empty,
};
const char* const kEntries[test_app::kTestCallCount] = {
    k.ordinal17,    k.takesTwo,     k.multiByteToWide, k.getUserName,
    k.versionEntry, k.missingEntry, k.missingAnywhere,
};

}  // namespace

extern "C" const runtime::AppHeader g_appHeader = {
    3,
    0,
    1,
    AppCodeStart + 4,
    g_appImage.constants.empty,
    sizeof(test_app::Constants),
    nullptr,
    0,
    test_app::kLibraryCount,
    test_app::kLibraries,
    test_app::kTestCallCount,
    kLibraries,
    kEntries,
};
