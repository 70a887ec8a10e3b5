// The tiny segments hls_test_server.py makes on request, as the network
// tests expect them.
#pragma once

#include <cstdio>
#include <string>

namespace test_app {

// The name of the server's made segment number `index`: tinyNNNNNN.ts.
inline std::string TinyName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "tiny%06d.ts", index);
    return name;
}

// Its bytes: one MPEG-TS packet of filler that starts with its name.
inline std::string TinySegment(const std::string& name) {
    return "\x47\x1f\xff\x10" + name + std::string(184 - name.size(), '\xff');
}

}  // namespace test_app
