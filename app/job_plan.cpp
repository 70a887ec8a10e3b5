#include "app/job_plan.h"

#include <string>
#include <vector>

#include "app/address_resolution.h"
#include "app/data/app_image.h"
#include "app/regex_object.h"
#include "app/segment_lines.h"
#include "app/stream_tags.h"

namespace app {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The segment name of each URI line, or empty for a line that gives none.
// Each pattern runs once, on the lines it takes: running it on a line that
// lacks its literal part would only scan the line from every position.
bool MatchSegmentNames(RegexObject& regex, const std::vector<UriLine>& lines,
                       std::vector<std::string>* names) {
    const ConstantTexts& k = Constants();
    const char* const patterns[] = {k.patternAbsolute, k.patternTs, k.patternMp4, k.patternFlv,
                                    k.patternM4s};
    constexpr size_t kPatterns = sizeof patterns / sizeof patterns[0];
    std::string literals[kPatterns];
    for (size_t p = 0; p < kPatterns; ++p) literals[p] = LiteralOf(patterns[p]);
    std::vector<size_t> taken[kPatterns];
    for (size_t line = 0; line < lines.size(); ++line) {
        for (size_t p = 0; p < kPatterns; ++p) {
            if (HoldsLiteral(lines[line].text, literals[p])) {
                taken[p].push_back(line);
                break;
            }
        }
    }
    names->assign(lines.size(), std::string());
    for (size_t p = 0; p < kPatterns; ++p) {
        // The first pattern runs even on no line: it tells whether the engine runs.
        if (p > 0 && taken[p].empty()) continue;
        std::string subject;
        for (size_t line : taken[p]) subject += lines[line].text + '\n';
        if (!regex.Create(patterns[p], subject.c_str(), false, false, true) && p == 0) return false;
        // A match ends where its line does, and each line gives one at most.
        const int32_t count = regex.Count();
        size_t next = 0;
        for (int32_t m = 1; m <= count; ++m) {
            const std::string match = regex.MatchText(m).c_str();
            while (next < taken[p].size()) {
                const size_t line = taken[p][next++];
                if (EndsWith(lines[line].text, match)) {
                    (*names)[line] = match;
                    break;
                }
            }
        }
    }
    return true;
}

}  // namespace

std::string ResolveName(const PlaylistSource& source, const std::string& name) {
    return source.local ? ResolveAgainstFile(source.location, name)
                        : ResolveReference(source.location, name);
}

bool PlanJob(const char* playlist, const PlaylistSource& source, RegexObject& regex,
             JobPlan* plan) {
    plan->Clear();
    plan->address = source.location;
    const StreamTags tags = ReadStreamTags(playlist);
    std::vector<std::string> names;
    if (!MatchSegmentNames(regex, tags.uriLines, &names)) return false;

    for (const SegmentKey& key : tags.keys)
        plan->keyAddresses.push_back(ResolveName(source, key.uri));
    for (size_t line = 0; line < tags.uriLines.size(); ++line) {
        if (names[line].empty()) continue;
        PlannedSegment segment;
        segment.address = ResolveName(source, names[line]);
        segment.fileName = std::to_string(plan->segments.size() + 1) + Constants().segmentExtension;
        const UriLine& uri = tags.uriLines[line];
        segment.seconds = uri.seconds;
        segment.range = uri.range;
        segment.mapIndex = uri.mapIndex;
        segment.period = uri.period;
        if (uri.keyIndex >= 0) {
            segment.cipher.keyIndex = uri.keyIndex;
            segment.cipher.ivValid =
                InitialisationVector(tags.keys[uri.keyIndex].iv, uri.sequence, segment.cipher.iv);
        }
        plan->segments.push_back(std::move(segment));
    }
    for (const MapTag& map : tags.maps)
        plan->maps.push_back(PlannedMap{ResolveName(source, map.uri), map.range});
    plan->unsupportedMethod = tags.unsupportedMethod;
    return true;
}

}  // namespace app
