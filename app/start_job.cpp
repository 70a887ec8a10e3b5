// "开始": download every segment of the job's plan into a fresh job
// directory, join them with tool\ffmpeg.exe, and move the video to Data.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/calls.h"
#include "app/code_page.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/job_name.h"
#include "app/job_plan.h"
#include "app/job_wait.h"
#include "app/log.h"
#include "app/mp4_duration.h"
#include "app/owned_values.h"
#include "app/segment_fetch.h"
#include "app/stream_codecs.h"
#include "app/text_search.h"
#include "app/tool_run.h"
#include "app/units.h"
#include "net/segment_pool.h"
#include "net/transfer_limits.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"
#include "runtime/text_commands.h"

namespace {

const app::ConstantTexts& K() { return app::Constants(); }

// How far the merged video's duration may be from the playlist's sum of the
// segments': the larger of a second and 2%, for the rounding of durations
// written with few digits and the tool's cut at the last key frame.
constexpr double kMergeToleranceSeconds = 1.0;
constexpr double kMergeToleranceShare = 0.02;
// Names tried for a job directory before the job gives up: far more than the
// directories a user keeps.
constexpr int kJobNameTries = 10000;

// A segment that arrived.
struct Arrived {
    std::string file;
    int map;         // the map it is joined after, or -1
    int period;      // how many discontinuities come before it
    double seconds;  // as the playlist says
};

// The video, or the audio rendition it plays with: its files in the job
// directory, its lines, and what its downloads left.
struct Track {
    std::string filePrefix;      // before each of its files' names
    const char* downloading;     // the line before a segment: " 正在下载。[" / " 正在下载音频。["
    const char* downloadOpen;    // a segment's result: " 下载 [" / " 下载音频 ["
    const char* mapDownloading;  // the line before its map
    std::vector<Arrived> arrived;   // in playlist order
    std::vector<std::string> maps;  // the files of the plan's maps, by index
};

struct Job {
    std::string runDirectory;  // without a trailing backslash
    std::string directory;     // ends with a backslash
    std::string target;        // where the video goes
    Track video{"", K().logDownloading, K().logDownloadOpen, K().logMapDownloading};
    Track audio{K().audioFilePrefix, K().logAudioDownloading, K().logAudioDownloadOpen,
                K().logAudioMapDownloading};
    int32_t failedSegments = 0;
    int picturesRemoved = 0;  // segments that stood behind a picture
    std::unique_ptr<net::SliceSources> slices;  // made with the job directory
};

std::string RunDirectory() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    return app::OwnedText(CallCoreCommand(runtime::RunDirectory, 0, none)).c_str();
}

bool EnsureDirectory(std::string path) {
    if (path.empty() || path.back() != '\\') path += K().backslash;
    return app::CallDeclared(app::kMakeSureDirectoryPathExists, path.c_str()) != 0;
}

// Writes the bytes of a text (without its terminator) to a file.
void WriteTextFile(const std::string& path, const char* text) {
    const runtime::ArgRecord toBytes[] = {app::TextArg(text)};
    const app::OwnedByteSet bytes(
        reinterpret_cast<void*>(app::CallCore(runtime::ToByteSet, toBytes).low));
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()), app::ByteSetArg(bytes.get())};
    app::CallCore(runtime::WriteWholeFile, args);
}

// A path inside a quoted entry of the concatenation list: each apostrophe
// closes the quotes, stands escaped, and opens them again.
std::string ListEntryPath(const std::string& path) {
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()), app::TextArg(K().apostrophe),
                                       app::TextArg(K().quoteEscape)};
    return app::OwnedText(app::CallCore(runtime::ReplaceSubtext, args)).c_str();
}

std::string Quoted(const std::string& path) { return K().quote + path + K().quote; }

bool FileExists(const std::string& path) {
    HANDLE search = nullptr;
    const app::OwnedText found(reinterpret_cast<char*>(
        NotifyRuntime(runtime::notify::kFileSearchStep, path.c_str(), 0u, 0u, &search)));
    if (search) NotifyRuntime(runtime::notify::kFileSearchClose, search);
    return static_cast<bool>(found);
}

// A save name that is a plain file name: none of the characters file names
// cannot hold, and not a device name, which would not name a file at all.
bool IsPlainFileName(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;  // never a trail byte
    }
    for (const char* c = K().forbiddenNameCharacters; *c; ++c) {
        if (app::Contains(name.c_str(), std::string(1, *c).c_str())) return false;
    }
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string devices = std::string(" ") + K().reservedDeviceNames + " ";
    return stem.empty() || devices.find(" " + stem + " ") == std::string::npos;
}

// The target in Data named by the output-name box; false, with a line that
// says so, when the name cannot be a file name.
bool ChooseTarget(Job& job) {
    const app::OwnedText name = app::ContentOf(app::windows::kOutputNameBox);
    if (!IsPlainFileName(name.c_str())) {
        app::Log(K().logBadOutputName + std::string(name.c_str()) + K().logBadOutputNameEnd);
        return false;
    }
    job.target = job.runDirectory + K().dataDirectory +
                 (name.empty() ? std::string(K().outputFileName)
                               : name.c_str() + std::string(K().mp4Extension));
    return true;
}

void RemoveJobDirectory(const Job& job) {
    const runtime::ArgRecord args[] = {app::TextArg(job.directory.c_str())};
    app::CallCore(runtime::RemoveDirectoryTree, args);
}

// A directory of its own for the job. A name whose directory is there
// already belongs to another job, perhaps one whose segments were kept after
// it failed: that name is passed over, never taken.
bool MakeJobDirectory(Job& job) {
    if (!EnsureDirectory(job.runDirectory + K().dataDirectory)) return false;
    std::string timeText = app::UnixTimeText();
    for (int tries = 0; tries < kJobNameTries; ++tries) {
        job.directory =
            job.runDirectory + K().dataJobPrefix + app::JobNameOf(timeText) + K().jobSuffix;
        if (::CreateDirectoryA(job.directory.c_str(), nullptr)) return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
        timeText = app::NextTimeText(timeText);
    }
    return false;
}

bool PrepareJob(Job& job) {
    if (!MakeJobDirectory(job)) {
        app::Log(K().logDirectoryFailed);
        return false;
    }
    job.slices = std::make_unique<net::SliceSources>(job.directory);
    WriteTextFile(job.directory + K().playlistFileName, app::playlistText.get());
    app::Log(K().logDirectoryMade + job.directory + K().logDirectoryMadeEnd);
    app::JobBegins(job.directory);
    return true;
}

// A track's file in the job directory.
std::string FileOf(const Job& job, const Track& track, const std::string& name) {
    return job.directory + track.filePrefix + name;
}

// "name-N.ext" for the Nth file of a kind: "map-2.mp4", "joined-3.mp4".
std::string NumberedName(const std::string& name, size_t number) {
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + K().numberSeparator + std::to_string(number) + name.substr(dot);
}

// A fragmented MP4 stream's initialization maps come first, each that a
// segment is joined after; false, with the line that says so, when one
// cannot be had, and false when the job stops.
bool DownloadMaps(Job& job, const app::JobPlan& plan, Track& track) {
    if (plan.maps.empty()) return true;
    std::vector<bool> used(plan.maps.size());
    for (const app::PlannedSegment& segment : plan.segments) {
        if (segment.mapIndex >= 0) used[segment.mapIndex] = true;
    }
    std::vector<net::SegmentDownload> downloads;
    for (size_t m = 0; m < plan.maps.size(); ++m) {
        track.maps.push_back(
            FileOf(job, track, m == 0 ? K().mapFileName : NumberedName(K().mapFileName, m + 1)));
        downloads.push_back({plan.maps[m].address, track.maps[m], used[m],
                             app::ArrivalCheck({}, app::SegmentKind::kFragment, nullptr),
                             plan.maps[m].range});
    }
    net::SegmentPool pool(std::move(downloads), net::SegmentConnections(), *job.slices);
    for (size_t m = 0; m < plan.maps.size(); ++m) {
        if (!used[m]) continue;
        app::Log(track.mapDownloading);
        if (!pool.Arrived(m, app::WhileJobWaits)) {
            if (app::JobStopping()) return false;
            app::Log(K().logMapFailed + pool.FailureOf(m) + K().logMapFailedEnd + job.directory +
                     K().lineBreak);
            return false;
        }
    }
    return true;
}

// Segment i's line and list entry are written as it arrives, in index order,
// while the pool downloads the segments after it. False when the job stops:
// the segment it waited for is neither counted nor logged.
bool DownloadSegments(Job& job, const app::JobPlan& plan, Track& track) {
    const std::vector<app::PlannedSegment>& segments = plan.segments;
    const std::string total = std::to_string(segments.size());
    app::KeyRing keys(plan);
    if (app::JobStopping()) return false;
    const auto kindOf = [&](size_t i) {
        return segments[i].mapIndex < 0 ? app::SegmentKind::kStandalone
                                         : app::SegmentKind::kFragment;
    };
    // One flag per segment, each written only by the check of its own download.
    const std::unique_ptr<bool[]> hadPicture(new bool[segments.size()]());
    std::vector<net::SegmentDownload> downloads;
    for (size_t i = 0; i < segments.size(); ++i) {
        downloads.push_back({segments[i].address, FileOf(job, track, segments[i].fileName),
                             app::CanDecrypt(segments[i].cipher, keys),
                             app::ArrivalCheck(segments[i].cipher, kindOf(i), &hadPicture[i]),
                             segments[i].range});
    }
    net::SegmentPool pool(std::move(downloads), net::SegmentConnections(), *job.slices);

    for (size_t i = 0; i < segments.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string segmentFile = FileOf(job, track, segments[i].fileName);
        app::Log(track.downloading + number + K().slash + total + K().logDownloadingEnd);
        std::string failure;
        const bool downloaded = app::TakeSegment(pool, i, segmentFile, segments[i].cipher,
                                                 kindOf(i), keys, &hadPicture[i], &failure);
        if (app::JobStopping()) return false;
        // Only what arrived goes to the list: a missing file would end the merge there.
        if (downloaded) {
            track.arrived.push_back(
                {segmentFile, segments[i].mapIndex, segments[i].period, segments[i].seconds});
            if (hadPicture[i]) ++job.picturesRemoved;
        } else {
            ++job.failedSegments;
        }
        const std::string line = track.downloadOpen + number + K().slash + total;
        if (downloaded) {
            app::Log(line + K().logDownloadSucceeded);
        } else if (failure.empty()) {
            app::Log(line + K().logDownloadFailed);
        } else {
            app::Log(line + K().logDownloadFailedWhy + failure + K().logDownloadFailedWhyEnd);
        }
    }
    return true;
}

// The video's segments, then those of its audio rendition if it has one;
// false when a map cannot be had or the job stops.
bool DownloadTracks(Job& job) {
    const app::JobPlan& plan = app::jobPlan;
    if (!DownloadMaps(job, plan, job.video) || !DownloadSegments(job, plan, job.video))
        return false;
    if (plan.audio && (!DownloadMaps(job, *plan.audio, job.audio) ||
                       !DownloadSegments(job, *plan.audio, job.audio))) {
        return false;
    }
    app::Log(K().logDownloadsDone);
    if (job.picturesRemoved > 0) {
        app::Log(K().logPicturesOpen + std::to_string(job.picturesRemoved) +
                 K().logPicturesClose);
    }
    return true;
}

// One video file the job makes: the whole video, or, where its codecs
// change at a discontinuity (an inserted clip of another format), each run
// of the same codecs, since one MP4 track holds one codec.
struct Part {
    Track video;                   // its segments
    const Track* audio = nullptr;  // the audio rendition merged into it, or null
    std::string merged;            // the tool's output in the job directory
    std::string target;            // where it goes: name.mp4, name-2.mp4...
    double seconds = 0;            // what the playlist says its segments last
};

Part NewPart(const Job& job, size_t index) {
    Part part;
    part.video = job.video;
    part.video.arrived.clear();
    part.target = job.target;
    if (index > 0) {
        part.video.filePrefix = K().partFilePrefix + std::to_string(index + 1) + K().numberSeparator;
        part.target = NumberedName(job.target, index + 1);
    }
    part.merged = FileOf(job, part.video, K().outputFileName);
    return part;
}

// The parts of the video: a new one where a period's codecs differ from the
// last period's that could be told. A video with an audio rendition stays
// one part, the rendition's sound running through it.
std::vector<Part> PartsOf(const Job& job) {
    std::vector<Part> parts{NewPart(job, 0)};
    std::string codecs;  // of the last period whose codecs could be told
    int period = -1;
    for (const Arrived& segment : job.video.arrived) {
        if (segment.period != period && !app::jobPlan.audio) {
            const std::string now =
                app::FileCodecs(segment.map >= 0 ? job.video.maps[segment.map] : segment.file);
            if (period >= 0 && !codecs.empty() && !now.empty() && now != codecs)
                parts.push_back(NewPart(job, parts.size()));
            if (!now.empty()) codecs = now;
        }
        period = segment.period;
        parts.back().video.arrived.push_back(segment);
        parts.back().seconds += segment.seconds;
    }
    if (app::jobPlan.audio) parts[0].audio = &job.audio;
    return parts;
}

// Runs the tool and logs its report as it comes, then why no video came if
// none did; a tool ended because the job stops is no news.
// True when the tool ended well and left the merged video; `reportedSeconds`
// gets the last time the tool reported, or a negative number.
bool RunMergeTool(const Job& job, const Part& part, const std::string& commandLine,
                  double* reportedSeconds) {
    app::FlushLog();  // the tool may run for a while: the log is whole before it
    const std::string& merged = part.merged;
    const DWORD quietLimitMs = net::TimeLimitMs(app::kToolQuietLimitMs);
    app::Log(K().lineBreak);  // the report's own line, stamped as the tool starts
    const app::ToolRun run =
        app::RunTool(commandLine, merged, quietLimitMs, app::LogContinued, app::WhileJobWaits);
    app::LogContinued(K().lineBreak);
    *reportedSeconds = app::LastReportedTime(run.report);
    if (app::JobStopping()) return false;
    if (!run.started) {
        app::Log(K().logToolNotStarted + job.runDirectory + K().toolPath + K().lineBreak);
        return false;
    }
    if (run.stopped) {
        app::Log(K().logToolStoppedOpen + std::to_string(quietLimitMs / 1000) +
                 K().logToolStoppedEnd);
        return false;
    }
    if (run.exitCode != 0 || !FileExists(merged)) {
        app::Log(K().logToolFailed + std::to_string(run.exitCode) + K().lineBreak);
        return false;
    }
    return true;
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

// Whether the merged video is as long as the segments that went into it: a
// tool may stop at a segment it cannot read and still end well. Says so
// when it is not. The video's own header is believed before the tool's
// report; a playlist that gives no durations proves nothing either way.
bool ProveMerged(const Part& part, double reportedSeconds) {
    if (part.seconds <= 0) return true;
    double merged = app::Mp4Seconds(part.merged);
    if (merged < 0) merged = reportedSeconds;
    if (merged < 0) {
        app::Log(K().logMergeUnmeasured);
        return false;
    }
    const double tolerance =
        std::max(kMergeToleranceSeconds, part.seconds * kMergeToleranceShare);
    if (std::fabs(merged - part.seconds) <= tolerance) return true;
    app::Log(K().logMergeShortOpen + SecondsText(merged) + K().logMergeShortMiddle +
             SecondsText(part.seconds) + K().logMergeShortEnd);
    return false;
}

// Moves the merged video to the target; says why when it cannot.
bool MoveToTarget(const Part& part) {
    if (app::CallDeclared(app::kMoveFileA, part.merged.c_str(), part.target.c_str()) == 1)
        return true;
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    const app::OwnedText reason(CallCoreCommand(runtime::LastErrorText, 0, none));
    app::Log(K().logMoveFailed + part.target + K().logMoveFailedReason + reason.c_str() +
             K().logMoveFailedEnd);
    return false;
}

// The fragments that arrived, in runs that share a map, each run after its
// map: a fragment joined after another map would be read with the wrong one.
std::vector<std::vector<std::string>> FragmentRuns(const Track& track) {
    std::vector<std::vector<std::string>> runs;
    for (size_t i = 0; i < track.arrived.size(); ++i) {
        const int map = track.arrived[i].map;
        if (i == 0 || map != track.arrived[i - 1].map) {
            runs.emplace_back();
            if (map >= 0) runs.back().push_back(track.maps[map]);
        }
        runs.back().push_back(track.arrived[i].file);
    }
    return runs;
}

// The parts, byte for byte, in one file; false when it cannot be written.
bool JoinFragments(const std::vector<std::string>& parts, const std::string& joined) {
    const runtime::UniqueHandle file(reinterpret_cast<HANDLE>(
        app::CallDeclared(app::kCreateFileA, joined.c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return false;
    for (const std::string& part : parts) {
        const runtime::ArgRecord read[] = {app::TextArg(part.c_str())};
        const app::OwnedByteSet bytes(
            reinterpret_cast<void*>(app::CallCore(runtime::ReadWholeFile, read).low));
        // A part that arrived is never empty: one that reads so is lost.
        const uint32_t length = runtime::ByteSetLength(bytes.get());
        DWORD done = 0;
        if (length == 0 ||
            !app::CallDeclared(app::kWriteFile, file.get(), runtime::ByteSetData(bytes.get()),
                               length, &done, nullptr) ||
            done != length) {
            return false;
        }
    }
    return true;
}

// A track as the tool's input: the concatenation list of its segments; for
// a stream with a map its joined fragments, or with several maps the
// concatenation list of its joined runs.
std::string ToolInput(const Job& job, const Track& track) {
    if (track.maps.empty())
        return K().commandConcat + Quoted(FileOf(job, track, K().listFileName));
    if (FragmentRuns(track).size() <= 1)
        return K().commandInput + Quoted(FileOf(job, track, K().joinedFileName));
    return K().commandConcat + Quoted(FileOf(job, track, K().joinedListFileName));
}

// The tool's command line: the part's video, and the sound from its audio
// rendition if it has one, copied into the MP4.
std::string MergeCommandLine(const Job& job, const Part& part) {
    std::string inputs = ToolInput(job, part.video);
    if (part.audio) inputs += ToolInput(job, *part.audio) + K().commandMapTracks;
    return Quoted(job.runDirectory + K().toolPath) + inputs + K().commandCopy +
           Quoted(part.merged);
}

// Writes a track's concatenation list, or joins its fragments when it has a
// map; false, with the line that says so, when the joined file cannot be
// written.
bool PrepareTrack(const Job& job, const Track& track) {
    std::string segments;
    for (const Arrived& segment : track.arrived)
        segments += K().listLineStart + ListEntryPath(segment.file) + K().listLineEnd;
    WriteTextFile(FileOf(job, track, K().listFileName), app::Utf8FromAnsi(segments).c_str());
    if (track.maps.empty()) return true;
    std::vector<std::vector<std::string>> runs = FragmentRuns(track);
    if (runs.empty()) runs.emplace_back();
    std::string list;
    for (size_t r = 0; r < runs.size(); ++r) {
        const std::string joined =
            FileOf(job, track,
                   runs.size() == 1 ? K().joinedFileName : NumberedName(K().joinedFileName, r + 1));
        if (!JoinFragments(runs[r], joined)) {
            app::Log(K().logJoinFailed + joined + K().lineBreak);
            return false;
        }
        list += K().listLineStart + ListEntryPath(joined) + K().listLineEnd;
    }
    if (runs.size() > 1) {
        WriteTextFile(FileOf(job, track, K().joinedListFileName), app::Utf8FromAnsi(list).c_str());
    }
    return true;
}

bool PrepareMerge(const Job& job, const Part& part) {
    return PrepareTrack(job, part.video) && (!part.audio || PrepareTrack(job, *part.audio));
}

// How merging a part went.
struct PartMerged {
    bool whole = false;  // merged, and as long as its segments
    bool moved = false;  // and moved to its target
};

// Joins a part's segments and moves its video to Data, each step's line
// saying how it went; a merged video that is not whole or cannot be moved
// stays in the job directory. False when the job stops.
bool MergePart(const Job& job, const Part& part, PartMerged* result) {
    const std::string commandLine = MergeCommandLine(job, part);
    const bool prepared = PrepareMerge(job, part);
    double reportedSeconds = -1;
    bool merged = prepared && RunMergeTool(job, part, commandLine, &reportedSeconds);
    // Merging again helps only when the tool failed; a video that merely
    // could not be moved is kept as it is.
    if (app::JobStopping()) return false;
    if (prepared && !merged && app::AskYesNo(K().retryQuestion)) {
        merged = RunMergeTool(job, part, commandLine, &reportedSeconds);
        if (app::JobStopping()) return false;
        if (!merged) app::Log(K().logMergeFailed + part.target + K().lineBreak);
    }
    result->whole = merged && ProveMerged(part, reportedSeconds);
    result->moved = result->whole && MoveToTarget(part);
    if (result->moved) {
        app::Log(K().logMergeSucceeded);
        app::Log(K().logSavedAt + part.target + K().lineBreak);
    } else if (merged) {
        app::Log(K().logMergedVideoKept + part.merged + K().lineBreak);
    }
    return true;
}

// Merges each part, and removes the job directory only when every whole
// video arrived in Data: anything the user may still need stays, and the
// last line says where. A stopped job leaves its folder as it is.
void Merge(const Job& job) {
    app::Log(K().logMerging);
    bool whole = true, moved = true;
    for (const Part& part : PartsOf(job)) {
        PartMerged result;
        if (!MergePart(job, part, &result)) return;
        whole = whole && result.whole;
        moved = moved && result.moved;
    }

    if (job.failedSegments > 0) {
        app::Log(K().logIncompleteOpen + std::to_string(job.failedSegments) +
                 K().logIncompleteClose + job.directory + K().lineBreak);
    } else if (!whole) {
        app::Log(K().logSegmentsKept + job.directory + K().lineBreak);
    } else if (moved) {
        RemoveJobDirectory(job);
    }
}

}  // namespace

extern "C" void onStartClicked() {
    app::SetDisabled(app::windows::kStartButton, true);
    const app::LogBatch batch;
    Job job;
    job.runDirectory = RunDirectory();
    if (ChooseTarget(job) && PrepareJob(job) && DownloadTracks(job)) {
        Merge(job);
    }
    app::JobEnds();
    app::DiscardInputMeanwhile();
    app::SetDisabled(app::windows::kStartButton, false);
}
