// The in-process tests run on a runtime attached to the test application's
// data and initialised as a program's start-up routine would.
#include <gtest/gtest.h>

#include "runtime/startup.h"
#include "tests/support/test_app.h"

namespace {

class RuntimeEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        runtime::AttachApplication(g_appHeader);
        runtime::InitialiseRuntime();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

}  // namespace
