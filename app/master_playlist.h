// Master playlists: texts that list variants of one stream (qualities), each
// an #EXT-X-STREAM-INF tag followed by the variant playlist's address.
#pragma once

#include <cstdint>
#include <string>

namespace app {

bool IsMasterPlaylist(const char* text);

struct Variant {
    std::string uri;  // as written
    uint64_t bandwidth = 0;
    std::string resolution;  // as written, or empty
};

// The variant of the highest BANDWIDTH (the first on a tie); `count` is how
// many variants the text lists. False when it lists none with an address.
bool ChooseVariant(const char* text, Variant* chosen, int32_t* count);

}  // namespace app
