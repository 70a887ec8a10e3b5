#include "app/master_playlist.h"

#include <cstdlib>
#include <cstring>

#include "app/segment_lines.h"
#include "app/stream_tags.h"

namespace app {

namespace {

constexpr char kStreamTag[] = "#EXT-X-STREAM-INF:";
constexpr char kMediaTag[] = "#EXT-X-MEDIA:";
constexpr char kAudio[] = "AUDIO";
constexpr char kYes[] = "YES";

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
            pending.audioGroup = AttributeOf(attributes, kAudio);
            awaitingUri = true;
        } else if (awaitingUri && !line.empty() && line[0] != '#') {
            pending.uri = line;
            awaitingUri = false;
            if (++*count == 1 || pending.bandwidth > chosen->bandwidth) *chosen = pending;
        }
    });
    return *count > 0;
}

std::vector<Rendition> ReadRenditions(const char* text) {
    std::vector<Rendition> renditions;
    ForEachLine(text, [&](const std::string& line) {
        std::string attributes;
        if (!TagAttributes(line, kMediaTag, &attributes)) return;
        renditions.push_back(
            Rendition{AttributeOf(attributes, "TYPE"), AttributeOf(attributes, "GROUP-ID"),
                      AttributeOf(attributes, "NAME"), AttributeOf(attributes, "LANGUAGE"),
                      AttributeOf(attributes, "URI"), AttributeOf(attributes, "DEFAULT") == kYes,
                      AttributeOf(attributes, "AUTOSELECT") == kYes});
    });
    return renditions;
}

const Rendition* ChooseAudio(const std::vector<Rendition>& renditions,
                             const std::string& audioGroup) {
    const Rendition* first = nullptr;
    const Rendition* autoselected = nullptr;
    for (const Rendition& rendition : renditions) {
        if (audioGroup.empty() || rendition.type != kAudio || rendition.groupId != audioGroup ||
            rendition.uri.empty()) {
            continue;
        }
        if (rendition.isDefault) return &rendition;
        if (!first) first = &rendition;
        if (!autoselected && rendition.autoselect) autoselected = &rendition;
    }
    return autoselected ? autoselected : first;
}

}  // namespace app
