// The application's own code runs in these tests on a runtime attached to the
// application's real data, as Velmora's start-up attaches it.
#include <gtest/gtest.h>

#include "runtime/app_header.h"
#include "runtime/startup.h"

extern "C" const runtime::AppHeader g_appHeader;

namespace {

class AppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        runtime::AttachApplication(g_appHeader);
        runtime::InitialiseRuntime();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace
