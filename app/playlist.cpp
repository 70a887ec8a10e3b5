// "解析": read the playlist from a dropped file or over HTTP (with the
// headers of a pasted cURL command, app/pasted_request.h), check it, and
// plan the job: the segments' addresses, keys and map (app/job_plan.h), and
// segmentList made from them; for a master whose variant takes its sound
// from an audio rendition, that rendition's plan too.
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/job_plan.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/master_playlist.h"
#include "app/pasted_request.h"
#include "app/regex_object.h"
#include "app/text_search.h"
#include "app/units.h"
#include "net/http_reader.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"

namespace {

const app::ConstantTexts& K() { return app::Constants(); }

// The audio rendition a master names for the chosen variant.
struct Audio {
    app::PlaylistSource source;  // no location without one
    std::string name;
    std::string language;
};

// The bytes as a playlist's text, without the byte-order mark that a UTF-8
// editor may put first.
app::OwnedText PlaylistTextOf(const runtime::ArgRecord& result) {
    const app::OwnedByteSet bytes(reinterpret_cast<void*>(result.low));
    const runtime::ArgRecord args[] = {app::ByteSetArg(bytes.get())};
    app::OwnedText text(app::CallCore(runtime::ToText, args));
    const size_t mark = std::strlen(K().byteOrderMark);
    if (text && std::strncmp(text.get(), K().byteOrderMark, mark) == 0) {
        std::memmove(text.get(), text.get() + mark, std::strlen(text.get() + mark) + 1);
    }
    return text;
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

app::OwnedText ReadPlaylistFile(const std::string& path) {
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()),
                                       app::IntegerArg(kLargestPlaylistFile)};
    return PlaylistTextOf(app::CallCore(runtime::ReadWholeFile, args));
}

// Fetches the address into `text`; when nothing usable came, logs why. The
// address the playlist came from after the redirects.
std::string Fetch(const char* address, app::OwnedText* text) {
    char* failure = nullptr;
    char* finalAddress = nullptr;
    const runtime::ArgRecord args[] = {
        app::TextArg(address),
        {reinterpret_cast<uint32_t>(&failure), 0, runtime::tag::kText},
        {reinterpret_cast<uint32_t>(&finalAddress), 0, runtime::tag::kText}};
    *text = PlaylistTextOf(
        CallLibraryCommand(app::ListIndex(app::kInternetLibrary), net::FetchUrl, 3, args));
    const app::OwnedText reason(failure), fetchedFrom(finalAddress);
    if (!reason.empty()) app::Log(K().logFetchFailed + std::string(reason.c_str()) + K().lineBreak);
    return fetchedFrom.empty() ? std::string(address) : std::string(fetchedFrom.c_str());
}

// Reads the playlist at `source` into `text`; false when no playlist came.
// A fetched playlist's source becomes the address it came from after the
// redirects.
bool Read(app::PlaylistSource* source, app::OwnedText* text) {
    if (source->local) {
        *text = ReadPlaylistFile(source->location);
    } else {
        source->location = Fetch(source->location.c_str(), text);
    }
    return app::Contains(text->c_str(), K().playlistTag);
}

bool RefusedForItsMethod(const app::JobPlan& plan) {
    if (plan.unsupportedMethod.empty()) return false;
    app::Log(K().logUnsupportedMethod + plan.unsupportedMethod + K().logUnsupportedMethodEnd);
    return true;
}

// The audio rendition's own plan, from its media playlist; false, with a
// line that says so, when it cannot be had: a video without its sound is
// no download.
bool PlanAudio(app::RegexObject& regex, const Audio& audio, app::JobPlan* plan) {
    app::PlaylistSource source = audio.source;
    app::OwnedText text;
    app::JobPlan audioPlan;
    if (!Read(&source, &text) || app::IsMasterPlaylist(text.c_str()) ||
        !app::PlanJob(text.c_str(), source, regex, &audioPlan) || audioPlan.segments.empty()) {
        app::Log(K().logAudioUnreadable + source.location + K().lineBreak);
        return false;
    }
    app::Log(K().logAudioChosen + audio.name + K().logAudioLanguage +
             (audio.language.empty() ? std::string(K().resolutionUnknown) : audio.language) +
             K().logAudioSegments + std::to_string(audioPlan.segments.size()) + K().logAudioEnd);
    if (RefusedForItsMethod(audioPlan)) return false;
    plan->audio = std::make_shared<app::JobPlan>(std::move(audioPlan));
    return true;
}

void CollectSegments(app::RegexObject& regex, const app::PlaylistSource& source,
                     const Audio& audio) {
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
    if (RefusedForItsMethod(plan)) return;
    if (!audio.source.location.empty() && !PlanAudio(regex, audio, &plan)) return;
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

// Where a name in a playlist at `from` leads: a web address, or a local file
// beside a local playlist.
app::PlaylistSource SourceOf(const app::PlaylistSource& from, const std::string& name) {
    app::PlaylistSource source;
    source.location = app::ResolveName(from, name);
    source.local = from.local && !app::StartsWith(source.location.c_str(), K().httpPrefix);
    return source;
}

// Subtitles are not saved: said once, with their languages.
void LogSubtitles(const std::vector<app::Rendition>& renditions) {
    std::string languages;
    for (const app::Rendition& rendition : renditions) {
        if (rendition.type != K().subtitlesType) continue;
        if (!languages.empty()) languages += K().listSeparator;
        languages += rendition.language.empty() ? rendition.name : rendition.language;
    }
    if (!languages.empty()) app::Log(K().logSubtitlesOpen + languages + K().logSubtitlesEnd);
}

// A master playlist gives way to its best variant, read as if the user had
// given its address, and to the audio rendition that variant names, if any;
// false, with the not-a-playlist line, when that fails.
bool FollowMaster(app::PlaylistSource* source, Audio* audio) {
    if (!app::IsMasterPlaylist(app::playlistText.c_str())) return true;
    app::Variant variant;
    int32_t count = 0;
    if (!app::ChooseVariant(app::playlistText.c_str(), &variant, &count)) return false;
    app::Log(
        K().logMasterOpen + std::to_string(count) + K().logMasterChosen +
        std::to_string(variant.bandwidth) + K().logMasterResolution +
        (variant.resolution.empty() ? std::string(K().resolutionUnknown) : variant.resolution) +
        K().logMasterEnd);
    const std::vector<app::Rendition> renditions = app::ReadRenditions(app::playlistText.c_str());
    if (const app::Rendition* chosen = app::ChooseAudio(renditions, variant.audioGroup)) {
        *audio = Audio{SourceOf(*source, chosen->uri), chosen->name, chosen->language};
    }
    LogSubtitles(renditions);
    *source = SourceOf(*source, variant.uri);
    return Read(source, &app::playlistText) && !app::IsMasterPlaylist(app::playlistText.c_str());
}

void Parse(app::RegexObject& regex) {
    std::string address;
    if (!app::AddressToRead(&address)) return;
    app::Log(K().logReadingPlaylist + address + K().logReadingPlaylistEnd);

    app::PlaylistSource source;
    source.local = app::StartsWith(address.c_str(), K().filePrefix);
    if (!source.local && !app::StartsWith(address.c_str(), K().httpPrefix)) {
        app::Log(K().logUnknownAddress);
        return;
    }
    source.location = source.local ? DroppedPath(address.c_str()) : address;
    Audio audio;
    if (!Read(&source, &app::playlistText) || !FollowMaster(&source, &audio)) {
        app::Log(K().logNotPlaylist);
        return;
    }
    app::Log(K().logPlaylistRead);
    app::Log(K().logParsing);
    CollectSegments(regex, source, audio);
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
