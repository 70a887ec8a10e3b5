// A download job as "开始" runs it: its folder, the video and the audio
// rendition it plays with, and what their downloads left; shared by the
// downloads (start_job.cpp) and the merge (app/job_merge.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/data/app_image.h"
#include "app/job_record.h"
#include "net/server_pace.h"
#include "net/slice_sources.h"
#include "net/transfer_limits.h"

namespace app {

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
    char recordMark;         // its segments' mark in the job's record
    std::string filePrefix;  // before each of its files' names
    const char* downloading;  // the line before a segment: " 正在下载。[" / " 正在下载音频。["
    const char* downloadOpen;    // a segment's result: " 下载 [" / " 下载音频 ["
    const char* mapDownloading;  // the line before its map
    // Whether its standalone segments reach the tool joined byte for byte
    // rather than through a concatenation list, which misjudges where each
    // audio-only TS segment ends and loses part of the sound.
    bool joinSegments;
    std::vector<Arrived> arrived;   // in playlist order
    std::vector<std::string> maps;  // the files of the plan's maps, by index
    // By index: segments an earlier run left whole, which are not downloaded again.
    std::vector<bool> kept;
};

struct Job {
    std::string runDirectory;  // without a trailing backslash
    std::string directory;     // ends with a backslash
    std::string target;        // where the video goes
    Track video{'v',
                "",
                Constants().logDownloading,
                Constants().logDownloadOpen,
                Constants().logMapDownloading,
                false};
    Track audio{'a',
                Constants().audioFilePrefix,
                Constants().logAudioDownloading,
                Constants().logAudioDownloadOpen,
                Constants().logAudioMapDownloading,
                true};
    int32_t failedSegments = 0;
    int picturesRemoved = 0;                    // segments that stood behind a picture
    std::unique_ptr<net::SliceSources> slices;  // made with the job directory
    net::ServerPace pace{net::SegmentConnections()};
    bool slowDownLogged = false;  // the line that a server asked to slow down
    RecordFile record;            // its whole segments, as they come
    JobRecord earlier;            // what the record said when this run began, if it goes on a job
};

// A track's file in the job directory.
std::string FileOf(const Job& job, const Track& track, const std::string& name);

// "name-N.ext" for the Nth file of a kind: "map-2.mp4", "joined-3.mp4".
std::string NumberedName(const std::string& name, size_t number);

// Writes the bytes of a text (without its terminator) to a file.
void WriteTextFile(const std::string& path, const char* text);

}  // namespace app
