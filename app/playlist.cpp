// "解析": read the playlist from a dropped file or over HTTP, check it, and
// collect its segment addresses into segmentList.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/address_resolution.h"
#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/master_playlist.h"
#include "app/regex_object.h"
#include "app/segment_lines.h"
#include "app/stream_plan.h"
#include "app/stream_tags.h"
#include "app/text_search.h"
#include "app/units.h"
#include "net/http_reader.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"

namespace {

const app::ConstantTexts& K() { return app::Constants(); }

// The bytes become the playlist text, without the byte-order mark that a
// UTF-8 editor may put first.
void ReplacePlaylistText(const runtime::ArgRecord& result) {
    const app::OwnedByteSet bytes(reinterpret_cast<void*>(result.low));
    const runtime::ArgRecord args[] = {app::ByteSetArg(bytes.get())};
    app::OwnedText text(app::CallCore(runtime::ToText, args));
    const size_t mark = std::strlen(K().byteOrderMark);
    if (text && std::strncmp(text.get(), K().byteOrderMark, mark) == 0) {
        std::memmove(text.get(), text.get() + mark, std::strlen(text.get() + mark) + 1);
    }
    app::playlistText = std::move(text);
}

// A playlist file is read and then copied into text: a larger one could not
// be held twice by a 32-bit process, and no real playlist comes near it.
constexpr int32_t kLargestPlaylistFile = 64 << 20;

// The path of a dropped file's address.
std::string DroppedPath(const char* address) {
    const char* prefix = K().filePrefix;
    const int32_t last = app::FindLast(address, prefix);
    return address + (last - 1) + std::strlen(prefix);
}

// Reads a playlist file; its folder, with a backslash at the end, is the
// base of the playlist's relative names.
std::string ReadPlaylistFile(const std::string& path) {
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()),
                                       app::IntegerArg(kLargestPlaylistFile)};
    ReplacePlaylistText(app::CallCore(runtime::ReadWholeFile, args));
    const int32_t separator = app::FindLast(path.c_str(), K().backslash);
    return separator == -1 ? std::string() : app::Left(path.c_str(), separator);
}

// Fetches the address; when nothing usable came, logs why.
void Fetch(const char* address) {
    char* failure = nullptr;
    const runtime::ArgRecord args[] = {
        app::TextArg(address), {reinterpret_cast<uint32_t>(&failure), 0, runtime::tag::kText}};
    ReplacePlaylistText(
        CallLibraryCommand(app::ListIndex(app::kInternetLibrary), net::FetchUrl, 2, args));
    const app::OwnedText reason(failure);
    if (!reason.empty()) app::Log(K().logFetchFailed + std::string(reason.c_str()) + K().lineBreak);
}

// The directory of the playlist's address, with a slash at the end: the part
// before the first "m3u8", cut before its last "/".
std::string BaseAddress(const char* address) {
    const int32_t marker = app::Find(address, K().m3u8Marker);
    const std::string head = marker == -1 ? std::string() : app::Left(address, marker - 1);
    const int32_t slash = app::FindLast(head.c_str(), K().slash);
    const std::string directory = slash <= 1 ? std::string() : app::Left(head.c_str(), slash - 1);
    return directory + K().slash;
}

// A name that needs no base: a web address, or a local path from a drive or a
// share root.
bool IsAbsolute(const std::string& name) {
    const char* text = name.c_str();
    return app::Contains(text, K().absoluteMarker) || app::StartsWith(text, K().httpsPrefix) ||
           (name.size() > 1 && name[1] == ':') || app::StartsWith(text, K().backslash);
}

// A segment address as the playlist names it and the number of its line.
struct Match {
    std::string text;
    size_t line;
};

// The numbers of the matches' lines. Every pattern ends in ".*", so a match
// ends where its line does, and each kept line gives at most one match.
void NumberMatches(const std::string& lines, const std::vector<size_t>& lineNumbers,
                   std::vector<Match>& matches) {
    size_t kept = 0, start = 0;
    for (Match& match : matches) {
        while (start < lines.size()) {
            const size_t end = lines.find('\n', start);  // every kept line ends with one
            const bool holds =
                end - start >= match.text.size() &&
                lines.compare(end - match.text.size(), match.text.size(), match.text) == 0;
            start = end + 1;
            const size_t number = lineNumbers[kept++];
            if (holds) {
                match.line = number;
                break;
            }
        }
    }
}

// The matches of the first pattern that finds any, run only on the lines that
// hold its literal part; -1 when the scripting engine could not run it.
int32_t FindSegments(app::RegexObject& regex, std::vector<Match>& matches) {
    for (const char* pattern :
         {K().patternAbsolute, K().patternTs, K().patternMp4, K().patternFlv, K().patternM4s}) {
        std::vector<size_t> lineNumbers;
        const std::string lines = app::LinesHolding(
            app::playlistText.c_str(), app::LiteralOf(pattern), K().tagMarker[0], &lineNumbers);
        const int32_t created = regex.Create(pattern, lines.c_str(), false, false, true);
        if (!created && pattern == K().patternAbsolute) return -1;
        const int32_t count = regex.Count();
        for (int32_t i = 1; i <= count; ++i) matches.push_back({regex.MatchText(i).c_str(), 0});
        if (!matches.empty()) {
            NumberMatches(lines, lineNumbers, matches);
            break;
        }
    }
    return static_cast<int32_t>(matches.size());
}

// A name of the playlist (segment, key, map) as an address to fetch.
std::string AddressOf(const std::string& name, const std::string& base) {
    return IsAbsolute(name) ? name : base + name;
}

// The keys and IVs of the segments found, and the stream's map; the method
// that no segment can be decrypted with, or empty.
std::string PlanStream(const std::vector<Match>& matches, const std::string& base) {
    app::StreamPlan& plan = app::streamPlan;
    const app::StreamTags tags = app::ReadStreamTags(app::playlistText.c_str());
    for (const app::SegmentKey& key : tags.keys)
        plan.keyAddresses.push_back(AddressOf(key.uri, base));
    for (const Match& match : matches) {
        app::SegmentCipher cipher;
        const auto found = tags.segments.find(match.line);
        if (found != tags.segments.end() && found->second.keyIndex >= 0) {
            cipher.keyIndex = found->second.keyIndex;
            cipher.ivValid = app::InitialisationVector(tags.keys[cipher.keyIndex].iv,
                                                       found->second.sequence, cipher.iv);
        }
        plan.segments.push_back(cipher);
    }
    if (!tags.mapUri.empty()) plan.mapAddress = AddressOf(tags.mapUri, base);
    return tags.unsupportedMethod;
}

void CollectSegments(app::RegexObject& regex, const std::string& base) {
    std::vector<Match> matches;
    if (FindSegments(regex, matches) == -1) {
        app::Log(K().logUnknownError);
        return;
    }
    if (matches.empty()) {
        app::Log(K().logNoLink);
    } else {
        app::Log(K().logFoundOpen + std::to_string(matches.size()) + K().logFoundClose);
    }
    std::string segments;
    for (const Match& match : matches) {
        segments += AddressOf(match.text, base);
        segments += K().segmentSeparator;
    }
    const std::string unsupported = PlanStream(matches, base);
    if (!unsupported.empty()) {
        app::Log(K().logUnsupportedMethod + unsupported + K().logUnsupportedMethodEnd);
        return;
    }
    app::segmentList.Reset(app::NewHeapText(segments));

    app::Log(K().logClickStart);
    app::SetDisabled(app::windows::kStartButton, false);
}

// Reads the playlist at an address or, for a local file, at its path; the
// base of its relative names, or nothing when no playlist came.
bool Read(const std::string& location, bool local, std::string* base) {
    if (local) {
        *base = ReadPlaylistFile(location);
    } else {
        Fetch(location.c_str());
        *base = BaseAddress(location.c_str());
    }
    return app::Contains(app::playlistText.c_str(), K().playlistTag);
}

// A master playlist gives way to its best variant, read as if the user had
// given its address; false, with the not-a-playlist line, when that fails.
bool FollowMaster(std::string* location, bool local, std::string* base) {
    if (!app::IsMasterPlaylist(app::playlistText.c_str())) return true;
    app::Variant variant;
    int32_t count = 0;
    if (!app::ChooseVariant(app::playlistText.c_str(), &variant, &count)) return false;
    app::Log(
        K().logMasterOpen + std::to_string(count) + K().logMasterChosen +
        std::to_string(variant.bandwidth) + K().logMasterResolution +
        (variant.resolution.empty() ? std::string(K().resolutionUnknown) : variant.resolution) +
        K().logMasterEnd);
    *location = local ? app::ResolveAgainstFile(*location, variant.uri)
                      : app::ResolveReference(*location, variant.uri);
    const bool localVariant = local && !app::StartsWith(location->c_str(), K().httpPrefix);
    return Read(*location, localVariant, base) && !app::IsMasterPlaylist(app::playlistText.c_str());
}

void Parse(app::RegexObject& regex) {
    app::Log(K().logReadingPlaylist +
             std::string(app::ContentOf(app::windows::kAddressBox).c_str()) +
             K().logReadingPlaylistEnd);

    const app::OwnedText address = app::ContentOf(app::windows::kAddressBox);
    const bool local = app::StartsWith(address.c_str(), K().filePrefix);
    if (!local && !app::StartsWith(address.c_str(), K().httpPrefix)) {
        app::Log(K().logUnknownAddress);
        return;
    }
    std::string location = local ? DroppedPath(address.c_str()) : address.c_str();
    std::string base;
    if (!Read(location, local, &base) || !FollowMaster(&location, local, &base)) {
        app::Log(K().logNotPlaylist);
        return;
    }
    app::Log(K().logPlaylistRead);
    app::Log(K().logParsing);
    CollectSegments(regex, base);
}

}  // namespace

extern "C" void onParseClicked() {
    app::RegexObject regex;
    app::SetDisabled(app::windows::kParseButton, true);
    app::SetDisabled(app::windows::kAddressBox, true);
    app::segmentList.Reset();
    app::streamPlan.Clear();
    Parse(regex);
    app::DiscardInputMeanwhile();
    app::SetDisabled(app::windows::kParseButton, false);
    app::SetDisabled(app::windows::kAddressBox, false);
}
