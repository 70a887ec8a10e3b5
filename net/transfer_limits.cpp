#include "net/transfer_limits.h"

#include <windows.h>

#include <cstdlib>

namespace net {

uint32_t TimeLimitMs(uint32_t shipped) {
    static const uint32_t testLimit = [] {
        char value[16] = {};
        const DWORD length =
            ::GetEnvironmentVariableA("VELMORA_TEST_WAIT_LIMIT_MS", value, sizeof value);
        return length > 0 && length < sizeof value
                   ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10))
                   : 0u;
    }();
    return testLimit ? testLimit : shipped;
}

}  // namespace net
