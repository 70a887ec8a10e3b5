#include "net/transfer_limits.h"

#include <windows.h>

#include <cstdlib>

namespace net {

namespace {

// A setting for tests from the environment; 0 when it is not set.
uint32_t TestSetting(const char* name) {
    char value[16] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value
               ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10))
               : 0u;
}

}  // namespace

int SegmentConnections() {
    static const uint32_t testCount = TestSetting("VELMORA_TEST_SEGMENT_CONNECTIONS");
    return testCount > 0 && testCount <= 64 ? static_cast<int>(testCount) : kSegmentConnections;
}

uint32_t TimeLimitMs(uint32_t shipped) {
    static const uint32_t testLimit = TestSetting("VELMORA_TEST_WAIT_LIMIT_MS");
    return testLimit
               ? static_cast<uint32_t>(static_cast<uint64_t>(shipped) * testLimit / kWaitLimitMs)
               : shipped;
}

}  // namespace net
