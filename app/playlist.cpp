// "解析": read the playlist from a dropped file or over HTTP, check it, and
// collect its segment addresses into segmentList.
#include <string>
#include <vector>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/log.h"
#include "app/regex_object.h"
#include "app/text_search.h"
#include "app/units.h"
#include "app/window_ids.h"
#include "net/http_reader.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"

namespace {

constexpr int32_t kInternetLibrary = 4;

void ReplacePlaylistText(const runtime::ArgRecord& bytes) {
    const runtime::ArgRecord args[] = {app::ByteSetArg(reinterpret_cast<const void*>(bytes.low))};
    char* text = reinterpret_cast<char*>(app::CallCore(runtime::ToText, args).low);
    FreeMemory(reinterpret_cast<void*>(bytes.low));
    FreeMemory(app::playlistText);
    app::playlistText = text;
}

void ReadDroppedFile(const char* address) {
    const char* prefix = app::Constants().filePrefix;
    const int32_t last = app::FindLast(address, prefix);
    const std::string path = address + (last - 1) + std::string(prefix).size();
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str())};
    ReplacePlaylistText(app::CallCore(runtime::ReadWholeFile, args));
}

void Fetch(const char* address) {
    const runtime::ArgRecord args[] = {app::TextArg(address)};
    ReplacePlaylistText(CallLibraryCommand(kInternetLibrary, net::FetchUrl, 1, args));
}

// The directory of the playlist's address, with a slash at the end: the part
// before the first "m3u8", cut before its last "/".
std::string BaseAddress(const char* address) {
    const app::ConstantTexts& k = app::Constants();
    const int32_t marker = app::Find(address, k.m3u8Marker);
    const std::string head = marker == -1 ? std::string() : app::Left(address, marker - 1);
    const int32_t slash = app::FindLast(head.c_str(), k.slash);
    const std::string directory = slash <= 1 ? std::string() : app::Left(head.c_str(), slash - 1);
    return directory + k.slash;
}

// The matches of one pattern that can be segment addresses: a match that
// begins with "#" is a playlist tag.
std::vector<std::string> SegmentMatches(app::RegexObject& regex) {
    std::vector<std::string> matches;
    const int32_t count = regex.Count();
    for (int32_t i = 1; i <= count; ++i) {
        const app::OwnedText match = regex.MatchText(i);
        if (!app::StartsWith(match.c_str(), app::Constants().tagMarker)) matches.push_back(match.c_str());
    }
    return matches;
}

// An address without the carriage return a CR LF line end leaves on it.
std::string WithoutLineEnd(std::string address) {
    if (!address.empty() && address.back() == '\r') address.pop_back();
    return address;
}

void CollectSegments(app::RegexObject& regex, const std::string& base) {
    const app::ConstantTexts& k = app::Constants();
    std::vector<std::string> matches;
    for (const char* pattern : {k.patternAbsolute, k.patternTs, k.patternMp4, k.patternFlv}) {
        const int32_t created = regex.Create(pattern, app::playlistText, false, false, true);
        if (!created && pattern == k.patternAbsolute) {
            app::Log(k.logUnknownError);
            return;
        }
        matches = SegmentMatches(regex);
        if (!matches.empty()) break;
    }

    if (matches.empty()) {
        app::Log(k.logNoLink);
    } else {
        app::Log(k.logFoundOpen + std::to_string(matches.size()) + k.logFoundClose);
    }
    std::string segments;
    for (const std::string& match : matches) {
        const std::string address = WithoutLineEnd(match);
        segments += app::Contains(address.c_str(), k.absoluteMarker) ? address : base + address;
        segments += k.segmentSeparator;
    }
    FreeMemory(app::segmentList);
    app::segmentList = app::NewHeapText(segments);

    app::Log(k.logClickStart);
    app::SetDisabled(app::kStartButton, false);
}

void Parse(app::RegexObject& regex) {
    const app::ConstantTexts& k = app::Constants();
    app::Log(k.logReadingPlaylist + std::string(app::ContentOf(app::kAddressBox).c_str()) + k.logReadingPlaylistEnd);

    const app::OwnedText address = app::ContentOf(app::kAddressBox);
    std::string base;
    if (app::StartsWith(address.c_str(), k.filePrefix)) {
        ReadDroppedFile(address.c_str());
    } else if (app::StartsWith(address.c_str(), k.httpPrefix)) {
        Fetch(address.c_str());
        if (app::Contains(app::playlistText, k.playlistTag)) base = BaseAddress(address.c_str());
    } else {
        app::Log(k.logUnknownAddress);
        return;
    }
    if (!app::Contains(app::playlistText, k.playlistTag)) {
        app::Log(k.logNotPlaylist);
        return;
    }
    app::Log(k.logPlaylistRead);
    app::Log(k.logParsing);
    CollectSegments(regex, base);
}

}  // namespace

extern "C" void onParseClicked() {
    app::RegexObject regex;
    app::SetDisabled(app::kParseButton, true);
    app::SetDisabled(app::kAddressBox, true);
    FreeMemory(app::segmentList);
    app::segmentList = nullptr;
    Parse(regex);
    app::SetDisabled(app::kParseButton, false);
    app::SetDisabled(app::kAddressBox, false);
}
