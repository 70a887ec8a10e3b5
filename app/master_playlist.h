// Master playlists: texts that list variants of one stream (qualities), each
// an #EXT-X-STREAM-INF tag followed by the variant playlist's address, and
// the renditions (#EXT-X-MEDIA) that variants may take their sound from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

bool IsMasterPlaylist(const char* text);

struct Variant {
    std::string uri;  // as written
    uint64_t bandwidth = 0;
    std::string resolution;  // as written, or empty
    std::string audioGroup;  // its AUDIO attribute: the GROUP-ID of its sound, or empty
};

// An #EXT-X-MEDIA tag: a rendition of the stream besides the variants.
struct Rendition {
    std::string type;  // AUDIO, SUBTITLES...
    std::string groupId;
    std::string name;
    std::string language;
    std::string uri;  // as written; empty when the variants carry it themselves
    bool isDefault = false;
    bool autoselect = false;
};

std::vector<Rendition> ReadRenditions(const char* text);

// The audio rendition a variant of `audioGroup` plays with: of the group's
// renditions that have a URI, the DEFAULT=YES one, else the first with
// AUTOSELECT=YES, else the first. Null when there is none.
const Rendition* ChooseAudio(const std::vector<Rendition>& renditions,
                             const std::string& audioGroup);

// The variant of the highest BANDWIDTH (the first on a tie); `count` is how
// many variants the text lists. False when it lists none with an address.
bool ChooseVariant(const char* text, Variant* chosen, int32_t* count);

}  // namespace app
