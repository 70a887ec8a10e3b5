#include "app/master_playlist.h"

#include <cstdlib>
#include <cstring>

#include "app/segment_lines.h"
#include "app/stream_tags.h"

namespace app {

namespace {

constexpr char kStreamTag[] = "#EXT-X-STREAM-INF:";

}  // namespace

bool IsMasterPlaylist(const char* text) { return std::strstr(text, kStreamTag) != nullptr; }

bool ChooseVariant(const char* text, Variant* chosen, int32_t* count) {
    *count = 0;
    bool awaitingUri = false;
    Variant pending;
    ForEachLine(text, [&](const std::string& line) {
        std::string attributes;
        if (TagAttributes(line, kStreamTag, &attributes)) {
            pending.bandwidth =
                std::strtoull(AttributeOf(attributes, "BANDWIDTH").c_str(), nullptr, 10);
            pending.resolution = AttributeOf(attributes, "RESOLUTION");
            awaitingUri = true;
        } else if (awaitingUri && !line.empty() && line[0] != '#') {
            pending.uri = line;
            awaitingUri = false;
            if (++*count == 1 || pending.bandwidth > chosen->bandwidth) *chosen = pending;
        }
    });
    return *count > 0;
}

}  // namespace app
