// "解析": read the playlist from a dropped file or over HTTP, check it, and
// collect its segment addresses into segmentList.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/regex_object.h"
#include "app/segment_lines.h"
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

// Reads the dropped file; its folder, with a backslash at the end, is the
// base of the playlist's relative names.
std::string ReadDroppedFile(const char* address) {
    const char* prefix = K().filePrefix;
    const int32_t last = app::FindLast(address, prefix);
    const std::string path = address + (last - 1) + std::strlen(prefix);
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

// The matches of the first pattern that finds any, run only on the lines that
// hold its literal part; -1 when the scripting engine could not run it.
int32_t FindSegments(app::RegexObject& regex, std::vector<std::string>& matches) {
    for (const char* pattern :
         {K().patternAbsolute, K().patternTs, K().patternMp4, K().patternFlv}) {
        const std::string lines =
            app::LinesHolding(app::playlistText.c_str(), app::LiteralOf(pattern), K().tagMarker[0]);
        const int32_t created = regex.Create(pattern, lines.c_str(), false, false, true);
        if (!created && pattern == K().patternAbsolute) return -1;
        const int32_t count = regex.Count();
        for (int32_t i = 1; i <= count; ++i) matches.push_back(regex.MatchText(i).c_str());
        if (!matches.empty()) break;
    }
    return static_cast<int32_t>(matches.size());
}

void CollectSegments(app::RegexObject& regex, const std::string& base) {
    std::vector<std::string> matches;
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
    for (const std::string& match : matches) {
        segments += IsAbsolute(match) ? match : base + match;
        segments += K().segmentSeparator;
    }
    app::segmentList.Reset(app::NewHeapText(segments));

    app::Log(K().logClickStart);
    app::SetDisabled(app::windows::kStartButton, false);
}

void Parse(app::RegexObject& regex) {
    app::Log(K().logReadingPlaylist +
             std::string(app::ContentOf(app::windows::kAddressBox).c_str()) +
             K().logReadingPlaylistEnd);

    const app::OwnedText address = app::ContentOf(app::windows::kAddressBox);
    std::string base;
    if (app::StartsWith(address.c_str(), K().filePrefix)) {
        base = ReadDroppedFile(address.c_str());
    } else if (app::StartsWith(address.c_str(), K().httpPrefix)) {
        Fetch(address.c_str());
        if (app::Contains(app::playlistText.c_str(), K().playlistTag)) {
            base = BaseAddress(address.c_str());
        }
    } else {
        app::Log(K().logUnknownAddress);
        return;
    }
    if (!app::Contains(app::playlistText.c_str(), K().playlistTag)) {
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
    Parse(regex);
    app::DiscardInputMeanwhile();
    app::SetDisabled(app::windows::kParseButton, false);
    app::SetDisabled(app::windows::kAddressBox, false);
}
