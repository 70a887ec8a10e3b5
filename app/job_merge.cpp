#include "app/job_merge.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/calls.h"
#include "app/code_page.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/job_plan.h"
#include "app/job_wait.h"
#include "app/log.h"
#include "app/mp4_duration.h"
#include "app/owned_values.h"
#include "app/stream_codecs.h"
#include "app/tool_run.h"
#include "app/units.h"
#include "net/transfer_limits.h"
#include "runtime/file_commands.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"
#include "runtime/text_commands.h"

namespace app {

namespace {

const ConstantTexts& K() { return Constants(); }

// How far the merged video's duration may be from the playlist's sum of the
// segments': the larger of a second and 2%, for the rounding of durations
// written with few digits and the tool's cut at the last key frame.
constexpr double kMergeToleranceSeconds = 1.0;
constexpr double kMergeToleranceShare = 0.02;
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

void RemoveJobDirectory(const Job& job) {
    const runtime::ArgRecord args[] = {app::TextArg(job.directory.c_str())};
    app::CallCore(runtime::RemoveDirectoryTree, args);
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
        part.video.filePrefix =
            K().partFilePrefix + std::to_string(index + 1) + K().numberSeparator;
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
        if (segment.period != period && !jobPlan.audio) {
            const std::string now =
                FileCodecs(segment.map >= 0 ? job.video.maps[segment.map] : segment.file);
            if (period >= 0 && !codecs.empty() && !now.empty() && now != codecs)
                parts.push_back(NewPart(job, parts.size()));
            if (!now.empty()) codecs = now;
        }
        period = segment.period;
        parts.back().video.arrived.push_back(segment);
        parts.back().seconds += segment.seconds;
    }
    if (jobPlan.audio) parts[0].audio = &job.audio;
    return parts;
}

// Runs the tool and logs its report as it comes, then why no video came if
// none did; a tool ended because the job stops is no news.
// True when the tool ended well and left the merged video; `reportedSeconds`
// gets the last time the tool reported, or a negative number.
bool RunMergeTool(const Job& job, const Part& part, const std::string& commandLine,
                  double* reportedSeconds) {
    FlushLog();  // the tool may run for a while: the log is whole before it
    const std::string& merged = part.merged;
    const DWORD quietLimitMs = net::TimeLimitMs(kToolQuietLimitMs);
    Log(K().lineBreak);  // the report's own line, stamped as the tool starts
    const ToolRun run = RunTool(commandLine, merged, quietLimitMs, LogContinued, WhileJobWaits);
    LogContinued(K().lineBreak);
    *reportedSeconds = LastReportedTime(run.report);
    if (JobStopping()) return false;
    if (!run.started) {
        Log(K().logToolNotStarted + job.runDirectory + K().toolPath + K().lineBreak);
        return false;
    }
    if (run.stopped) {
        Log(K().logToolStoppedOpen + std::to_string(quietLimitMs / 1000) + K().logToolStoppedEnd);
        return false;
    }
    if (run.exitCode != 0 || !FileExists(merged)) {
        Log(K().logToolFailed + std::to_string(run.exitCode) + K().lineBreak);
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
    double merged = Mp4Seconds(part.merged);
    if (merged < 0) merged = reportedSeconds;
    if (merged < 0) {
        Log(K().logMergeUnmeasured);
        return false;
    }
    const double tolerance = std::max(kMergeToleranceSeconds, part.seconds * kMergeToleranceShare);
    if (std::fabs(merged - part.seconds) <= tolerance) return true;
    Log(K().logMergeShortOpen + SecondsText(merged) + K().logMergeShortMiddle +
        SecondsText(part.seconds) + K().logMergeShortEnd);
    return false;
}

// Moves the merged video to the target; says why when it cannot. An
// incomplete video an earlier run of the job saved there gives way, unless
// someone changed it since. A video saved while segments are missing is
// recorded as such.
bool MoveToTarget(const Job& job, const Part& part) {
    const bool moved =
        IsRecordedVideo(job.earlier, part.target)
            ? ::MoveFileExA(part.merged.c_str(), part.target.c_str(), MOVEFILE_REPLACE_EXISTING) !=
                  FALSE
            : CallDeclared(kMoveFileA, part.merged.c_str(), part.target.c_str()) == 1;
    if (moved) {
        if (job.failedSegments > 0) job.record.AppendVideo(part.target);
        return true;
    }
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    const OwnedText reason(CallCoreCommand(runtime::LastErrorText, 0, none));
    Log(K().logMoveFailed + part.target + K().logMoveFailedReason + reason.c_str() +
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
        CallDeclared(kCreateFileA, joined.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return false;
    for (const std::string& part : parts) {
        const runtime::ArgRecord read[] = {TextArg(part.c_str())};
        const OwnedByteSet bytes(
            reinterpret_cast<void*>(CallCore(runtime::ReadWholeFile, read).low));
        // A part that arrived is never empty: one that reads so is lost.
        const uint32_t length = runtime::ByteSetLength(bytes.get());
        DWORD done = 0;
        if (length == 0 ||
            !CallDeclared(kWriteFile, file.get(), runtime::ByteSetData(bytes.get()), length, &done,
                          nullptr) ||
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
    if (track.maps.empty() && track.joinSegments)
        return K().commandInput + Quoted(FileOf(job, track, K().joinedStreamFileName));
    if (track.maps.empty()) return K().commandConcat + Quoted(FileOf(job, track, K().listFileName));
    if (FragmentRuns(track).size() <= 1)
        return K().commandInput + Quoted(FileOf(job, track, K().joinedFileName));
    return K().commandConcat + Quoted(FileOf(job, track, K().joinedListFileName));
}

// The tool's command line: the part's video, and the sound from its audio
// rendition if it has one, copied into the MP4.
std::string MergeCommandLine(const Job& job, const Part& part) {
    std::string inputs = ToolInput(job, part.video);
    if (part.audio) inputs += ToolInput(job, *part.audio) + K().commandMapTracks;
    return Quoted(job.runDirectory + K().toolPath) + inputs + K().commandCopy + Quoted(part.merged);
}

// Joins the parts byte for byte into `joined`; false, with the line that
// says so, when it cannot be written.
bool JoinOrSay(const std::vector<std::string>& parts, const std::string& joined) {
    if (JoinFragments(parts, joined)) return true;
    Log(K().logJoinFailed + joined + K().lineBreak);
    return false;
}

// Writes a track's concatenation list, and joins what the tool reads joined:
// its fragments after their maps, or its segments when it takes them so.
// False when a joined file cannot be written.
bool PrepareTrack(const Job& job, const Track& track) {
    std::string segments;
    std::vector<std::string> files;
    for (const Arrived& segment : track.arrived) {
        segments += K().listLineStart + ListEntryPath(segment.file) + K().listLineEnd;
        files.push_back(segment.file);
    }
    WriteTextFile(FileOf(job, track, K().listFileName), Utf8FromAnsi(segments).c_str());
    if (track.maps.empty()) {
        return !track.joinSegments ||
               JoinOrSay(files, FileOf(job, track, K().joinedStreamFileName));
    }
    std::vector<std::vector<std::string>> runs = FragmentRuns(track);
    if (runs.empty()) runs.emplace_back();
    std::string list;
    for (size_t r = 0; r < runs.size(); ++r) {
        const std::string joined =
            FileOf(job, track,
                   runs.size() == 1 ? K().joinedFileName : NumberedName(K().joinedFileName, r + 1));
        if (!JoinOrSay(runs[r], joined)) return false;
        list += K().listLineStart + ListEntryPath(joined) + K().listLineEnd;
    }
    if (runs.size() > 1) {
        WriteTextFile(FileOf(job, track, K().joinedListFileName), Utf8FromAnsi(list).c_str());
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
    if (JobStopping()) return false;
    if (prepared && !merged && AskYesNo(K().retryQuestion)) {
        merged = RunMergeTool(job, part, commandLine, &reportedSeconds);
        if (JobStopping()) return false;
        if (!merged) Log(K().logMergeFailed + part.target + K().lineBreak);
    }
    result->whole = merged && ProveMerged(part, reportedSeconds);
    result->moved = result->whole && MoveToTarget(job, part);
    if (result->moved) {
        Log(K().logMergeSucceeded);
        Log(K().logSavedAt + part.target + K().lineBreak);
    } else if (merged) {
        Log(K().logMergedVideoKept + part.merged + K().lineBreak);
    }
    return true;
}

}  // namespace

// Merges each part, and removes the job directory only when every whole
// video arrived in Data: anything the user may still need stays, and the
// last line says where. A stopped job leaves its folder as it is.
void Merge(const Job& job) {
    Log(K().logMerging);
    bool whole = true, moved = true;
    for (const Part& part : PartsOf(job)) {
        PartMerged result;
        if (!MergePart(job, part, &result)) return;
        whole = whole && result.whole;
        moved = moved && result.moved;
    }

    if (job.failedSegments > 0) {
        Log(K().logIncompleteOpen + std::to_string(job.failedSegments) + K().logIncompleteClose +
            job.directory + K().lineBreak);
    } else if (!whole) {
        Log(K().logSegmentsKept + job.directory + K().lineBreak);
    } else if (moved) {
        RemoveJobDirectory(job);
    }
}

}  // namespace app
