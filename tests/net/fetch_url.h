// The HTTP reader called as application code calls it: through the internet
// library's command table, its byte set and failure text taken over.
#pragma once

#include <string>

namespace test_app {

struct Fetched {
    std::string body;  // empty when no byte set came
    std::string failure;
};

// FetchUrl of `address` with its failure variable.
Fetched FetchUrlWithReason(const std::string& address);

}  // namespace test_app
