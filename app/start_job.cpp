// "开始": download every segment of the job's plan into a job directory of
// its own, or the one an earlier run of the same job left (only what is not
// there whole yet), then merge them (app/job_merge.h).
#include <windows.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/job.h"
#include "app/job_merge.h"
#include "app/job_name.h"
#include "app/job_plan.h"
#include "app/job_wait.h"
#include "app/log.h"
#include "app/owned_values.h"
#include "app/segment_fetch.h"
#include "app/text_search.h"
#include "app/units.h"
#include "net/segment_pool.h"
#include "net/transfer_limits.h"
#include "runtime/file_commands.h"

namespace {

using app::FileOf;
using app::Job;
using app::NumberedName;
using app::Track;
using app::WriteTextFile;

const app::ConstantTexts& K() { return app::Constants(); }

// Names tried for a job directory before the job gives up: far more than the
// directories a user keeps.
constexpr int kJobNameTries = 10000;

std::string RunDirectory() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    return app::OwnedText(CallCoreCommand(runtime::RunDirectory, 0, none)).c_str();
}

bool EnsureDirectory(std::string path) {
    if (path.empty() || path.back() != '\\') path += K().backslash;
    return app::CallDeclared(app::kMakeSureDirectoryPathExists, path.c_str()) != 0;
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

// What tells a job's runs apart from other jobs: the playlist's text, and
// where its segments come from. The same text read from another place may
// name other files (relative names), and a rendition's segments are not in
// the text at all; a run never takes segments of another video.
std::string PlanDigest(const app::JobPlan& plan) {
    std::string planned = app::playlistText.c_str();
    const app::JobPlan* const tracks[] = {&plan, plan.audio.get()};
    for (const app::JobPlan* track : tracks) {
        if (!track) continue;
        for (const app::PlannedSegment& segment : track->segments) {
            planned += K().lineBreak + segment.address;
        }
    }
    return app::Md5Hex(planned);
}

// The segments of the track that the record names and whose files still
// hold what it says; false when the job is to stop meanwhile.
bool KeepRecorded(const Job& job, const app::JobRecord& record, const app::JobPlan& plan,
                  Track& track, size_t* kept) {
    track.kept.assign(plan.segments.size(), false);
    for (const app::SegmentRecord& segment : record.segments) {
        if (segment.track != track.recordMark || segment.index >= plan.segments.size() ||
            track.kept[segment.index]) {
            continue;
        }
        // Each file is read whole: the window goes on painting between them.
        if (!app::WhileJobWaits()) return false;
        const std::string file = FileOf(job, track, plan.segments[segment.index].fileName);
        if (app::StillAsRecorded(file, segment.size, segment.checksum)) {
            track.kept[segment.index] = true;
            ++*kept;
        }
    }
    return true;
}

// The job goes on in the directory an earlier run of it left, whose record
// is open: the segments still whole there are kept. False when the job is
// to stop meanwhile.
bool ContinueJob(Job& job, const std::string& directory, app::JobRecord record) {
    job.directory = directory;
    job.slices = std::make_unique<net::SliceSources>(job.directory);
    app::JobBegins(job.directory);
    const app::JobPlan& plan = app::jobPlan;
    size_t kept = 0;
    if (!KeepRecorded(job, record, plan, job.video, &kept) ||
        (plan.audio && !KeepRecorded(job, record, *plan.audio, job.audio, &kept))) {
        return false;
    }
    const size_t total = plan.segments.size() + (plan.audio ? plan.audio->segments.size() : 0);
    app::Log(K().logResumeOpen + std::to_string(kept) + K().logResumeMiddle +
             std::to_string(total - kept) + K().logResumeClose);
    job.earlier = std::move(record);
    return true;
}

// A job whose earlier run left its directory in Data goes on there; any other
// gets a directory of its own, with its playlist and a record of its segments.
bool PrepareJob(Job& job) {
    const std::string digest = PlanDigest(app::jobPlan);
    app::JobRecord record;
    const std::string earlier =
        app::NewestJobFor(job.runDirectory + K().dataDirectory, digest, &record);
    if (!earlier.empty() && job.record.Reopen(earlier)) {
        return ContinueJob(job, earlier, std::move(record));
    }
    if (!MakeJobDirectory(job)) {
        app::Log(K().logDirectoryFailed);
        return false;
    }
    job.slices = std::make_unique<net::SliceSources>(job.directory);
    WriteTextFile(job.directory + K().playlistFileName, app::playlistText.get());
    job.record.Create(job.directory, app::RecordHead(app::jobPlan.address, digest));
    app::Log(K().logDirectoryMade + job.directory + K().logDirectoryMadeEnd);
    app::JobBegins(job.directory);
    return true;
}

// Once in a job, before the line of the segment it came with: a server
// asked to slow down.
void NoteSlowDown(Job& job) {
    if (job.slowDownLogged || !job.pace.askedToSlowDown()) return;
    job.slowDownLogged = true;
    app::Log(K().logServerSlowDown);
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
    net::SegmentPool pool(std::move(downloads), net::SegmentConnections(), *job.slices, job.pace);
    for (size_t m = 0; m < plan.maps.size(); ++m) {
        if (!used[m]) continue;
        app::Log(track.mapDownloading);
        const bool arrived = pool.Arrived(m, app::WhileJobWaits);
        NoteSlowDown(job);
        if (!arrived) {
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
    track.kept.resize(segments.size());
    std::vector<net::SegmentDownload> downloads;
    for (size_t i = 0; i < segments.size(); ++i) {
        downloads.push_back({segments[i].address, FileOf(job, track, segments[i].fileName),
                             !track.kept[i] && app::CanDecrypt(segments[i].cipher, keys),
                             app::ArrivalCheck(segments[i].cipher, kindOf(i), &hadPicture[i]),
                             segments[i].range});
    }
    net::SegmentPool pool(std::move(downloads), net::SegmentConnections(), *job.slices, job.pace);

    for (size_t i = 0; i < segments.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string segmentFile = FileOf(job, track, segments[i].fileName);
        const app::Arrived arrived{segmentFile, segments[i].mapIndex, segments[i].period,
                                   segments[i].seconds};
        if (track.kept[i]) {
            track.arrived.push_back(arrived);
            continue;
        }
        app::Log(track.downloading + number + K().slash + total + K().logDownloadingEnd);
        std::string failure;
        const bool downloaded = app::TakeSegment(pool, i, segmentFile, segments[i].cipher,
                                                 kindOf(i), keys, &hadPicture[i], &failure);
        if (app::JobStopping()) return false;
        NoteSlowDown(job);
        // Only what arrived goes to the list: a missing file would end the merge
        // there. It is recorded whole before its line says so.
        if (downloaded) {
            job.record.Append(track.recordMark, i, segmentFile);
            track.arrived.push_back(arrived);
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
        app::Log(K().logPicturesOpen + std::to_string(job.picturesRemoved) + K().logPicturesClose);
    }
    return true;
}

}  // namespace

extern "C" void onStartClicked() {
    app::SetDisabled(app::windows::kStartButton, true);
    const app::LogBatch batch;
    Job job;
    job.runDirectory = RunDirectory();
    if (ChooseTarget(job) && PrepareJob(job) && DownloadTracks(job)) {
        // A job with every segment has nothing more to record, and its
        // directory goes once the videos are in Data.
        if (job.failedSegments == 0) job.record.Close();
        app::Merge(job);
    }
    app::JobEnds();
    app::DiscardInputMeanwhile();
    app::SetDisabled(app::windows::kStartButton, false);
}
