// "解析": read the playlist from a dropped file or over HTTP, check it, and
// plan the job: the segments' addresses, keys and map (app/job_plan.h), and
// segmentList made from them.
#include <cstring>
#include <string>
#include <utility>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/job_plan.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/master_playlist.h"
#include "app/regex_object.h"
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

void ReadPlaylistFile(const std::string& path) {
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()),
                                       app::IntegerArg(kLargestPlaylistFile)};
    ReplacePlaylistText(app::CallCore(runtime::ReadWholeFile, args));
}

// Fetches the address; when nothing usable came, logs why. The address the
// playlist came from after the redirects.
std::string Fetch(const char* address) {
    char* failure = nullptr;
    char* finalAddress = nullptr;
    const runtime::ArgRecord args[] = {
        app::TextArg(address),
        {reinterpret_cast<uint32_t>(&failure), 0, runtime::tag::kText},
        {reinterpret_cast<uint32_t>(&finalAddress), 0, runtime::tag::kText}};
    ReplacePlaylistText(
        CallLibraryCommand(app::ListIndex(app::kInternetLibrary), net::FetchUrl, 3, args));
    const app::OwnedText reason(failure), fetchedFrom(finalAddress);
    if (!reason.empty()) app::Log(K().logFetchFailed + std::string(reason.c_str()) + K().lineBreak);
    return fetchedFrom.empty() ? std::string(address) : std::string(fetchedFrom.c_str());
}

void CollectSegments(app::RegexObject& regex, const app::PlaylistSource& source) {
    app::JobPlan plan;
    if (!app::PlanJob(app::playlistText.c_str(), source, regex, &plan)) {
        app::Log(K().logUnknownError);
        return;
    }
    if (plan.segments.empty()) {
        app::Log(K().logNoLink);
    } else {
        app::Log(K().logFoundOpen + std::to_string(plan.segments.size()) + K().logFoundClose);
    }
    if (!plan.unsupportedMethod.empty()) {
        app::Log(K().logUnsupportedMethod + plan.unsupportedMethod + K().logUnsupportedMethodEnd);
        return;
    }
    std::string segments;
    for (const app::PlannedSegment& segment : plan.segments) {
        segments += segment.address;
        segments += K().segmentSeparator;
    }
    app::segmentList.Reset(app::NewHeapText(segments));
    app::jobPlan = std::move(plan);

    app::Log(K().logClickStart);
    app::SetDisabled(app::windows::kStartButton, false);
}

// Reads the playlist at `source`; false when no playlist came. A fetched
// playlist's source becomes the address it came from after the redirects.
bool Read(app::PlaylistSource* source) {
    if (source->local) {
        ReadPlaylistFile(source->location);
    } else {
        source->location = Fetch(source->location.c_str());
    }
    return app::Contains(app::playlistText.c_str(), K().playlistTag);
}

// A master playlist gives way to its best variant, read as if the user had
// given its address; false, with the not-a-playlist line, when that fails.
bool FollowMaster(app::PlaylistSource* source) {
    if (!app::IsMasterPlaylist(app::playlistText.c_str())) return true;
    app::Variant variant;
    int32_t count = 0;
    if (!app::ChooseVariant(app::playlistText.c_str(), &variant, &count)) return false;
    app::Log(
        K().logMasterOpen + std::to_string(count) + K().logMasterChosen +
        std::to_string(variant.bandwidth) + K().logMasterResolution +
        (variant.resolution.empty() ? std::string(K().resolutionUnknown) : variant.resolution) +
        K().logMasterEnd);
    source->location = app::ResolveName(*source, variant.uri);
    source->local = source->local && !app::StartsWith(source->location.c_str(), K().httpPrefix);
    return Read(source) && !app::IsMasterPlaylist(app::playlistText.c_str());
}

void Parse(app::RegexObject& regex) {
    app::Log(K().logReadingPlaylist +
             std::string(app::ContentOf(app::windows::kAddressBox).c_str()) +
             K().logReadingPlaylistEnd);

    const app::OwnedText address = app::ContentOf(app::windows::kAddressBox);
    app::PlaylistSource source;
    source.local = app::StartsWith(address.c_str(), K().filePrefix);
    if (!source.local && !app::StartsWith(address.c_str(), K().httpPrefix)) {
        app::Log(K().logUnknownAddress);
        return;
    }
    source.location = source.local ? DroppedPath(address.c_str()) : address.c_str();
    if (!Read(&source) || !FollowMaster(&source)) {
        app::Log(K().logNotPlaylist);
        return;
    }
    app::Log(K().logPlaylistRead);
    app::Log(K().logParsing);
    CollectSegments(regex, source);
}

}  // namespace

extern "C" void onParseClicked() {
    app::RegexObject regex;
    app::SetDisabled(app::windows::kParseButton, true);
    app::SetDisabled(app::windows::kAddressBox, true);
    app::segmentList.Reset();
    app::jobPlan.Clear();
    Parse(regex);
    app::DiscardInputMeanwhile();
    app::SetDisabled(app::windows::kParseButton, false);
    app::SetDisabled(app::windows::kAddressBox, false);
}
