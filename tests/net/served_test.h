// A test that talks to the HTTP test server tests/servers/with_http_server.sh
// started for its program.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace test_app {

class ServedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, port_) << "run under tests/servers/with_http_server.sh";
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::string(port_) + path;
    }

    const char* port_ = std::getenv("VELMORA_HTTP_PORT");
};

}  // namespace test_app
