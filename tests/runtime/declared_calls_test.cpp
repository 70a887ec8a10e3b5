#include "runtime/declared_calls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/calls.h"
#include "tests/support/child_process.h"
#include "tests/support/test_app.h"

namespace {

using test_app::TestCall;

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(module, path, sizeof path);
    return path;
}

class DeclaredCalls : public ::testing::Test {
  protected:
    // Every test starts from unbound declarations.
    void SetUp() override {
        runtime::FreeDeclaredCallModules();
        runtime::PrepareDeclaredCalls(g_appHeader);
    }
    void TearDown() override { runtime::FreeDeclaredCallModules(); }

    static HMODULE BoundModule(TestCall call) { return runtime::DeclaredCallModule(call); }
};

TEST_F(DeclaredCalls, OrdinalNamesBindByNumber) {
    EXPECT_EQ(17u, app::CallDeclared(test_app::kOrdinalSeventeen));
    HMODULE module = BoundModule(test_app::kOrdinalSeventeen);
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(17))),
              runtime::DeclaredCallEntry(test_app::kOrdinalSeventeen));
}

TEST_F(DeclaredCalls, ASecondCallDoesNotLoadTheLibraryAgain) {
    EXPECT_EQ(5u, app::CallDeclared(test_app::kTakesTwo, 2, 3));
    EXPECT_EQ(9u, app::CallDeclared(test_app::kTakesTwo, 4, 5));
    ASSERT_NE(nullptr, ::GetModuleHandleA("velmora_testdll.dll"));
    // One load means one reference: freeing the tables unloads the DLL.
    runtime::FreeDeclaredCallModules();
    EXPECT_EQ(nullptr, ::GetModuleHandleA("velmora_testdll.dll"));
}

TEST_F(DeclaredCalls, AnEmptyLibraryNameBindsToTheFirstSystemLibraryWithTheEntry) {
    runtime::BindDeclaredCall(test_app::kMultiByteToWide);
    runtime::BindDeclaredCall(test_app::kGetUserName);
    EXPECT_EQ(::GetModuleHandleA("kernel32.dll"), BoundModule(test_app::kMultiByteToWide));
    EXPECT_EQ(::GetModuleHandleA("advapi32.dll"), BoundModule(test_app::kGetUserName));

    wchar_t wide[8] = {};
    EXPECT_EQ(4u, app::CallDeclared(test_app::kMultiByteToWide, 936, 0, "abc", -1, wide, 8));
    EXPECT_STREQ(L"abc", wide);
}

TEST_F(DeclaredCalls, ADllBesideTheProgramWinsOverTheSystemOne) {
    EXPECT_EQ(4242u, app::CallDeclared(test_app::kVersionBeside, "x", nullptr));
    EXPECT_EQ(driver::ProgramDirectory() + "version.dll",
              ModulePath(BoundModule(test_app::kVersionBeside)));
}

TEST_F(DeclaredCalls, NothingIsBoundBeforeTheFirstCall) {
    for (uint32_t call = 0; call < test_app::kTestCallCount; ++call) {
        EXPECT_EQ(nullptr, runtime::DeclaredCallEntry(call)) << call;
    }
    EXPECT_EQ(nullptr, ::GetModuleHandleA("velmora_testdll.dll"));
}

}  // namespace
