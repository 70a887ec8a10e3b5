// The record a job folder keeps of its whole segments (job.txt), so that a
// job that did not end well is finished later fetching only what is missing.
// Its head names the playlist's address and a digest of the playlist's text;
// each line after it names a segment whose final bytes (decrypted, a picture
// in front taken off) were complete on disk before the line was written, with
// their size and CRC-32. A line is written whole with one write, so an
// interruption at any moment leaves at worst a torn last line, which is not
// read; and a file is taken as recorded only while it still has that size
// and checksum, whatever happened to the disk meanwhile. A run that ends
// with segments missing also records the incomplete videos it saved in Data,
// which the run that finishes the job replaces with whole ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/owned.h"

namespace app {

struct SegmentRecord {
    char track;    // 'v' for the video's segments, 'a' for its audio rendition's
    size_t index;  // in its playlist
    uint64_t size;
    uint32_t checksum;  // CRC-32 of the bytes
};

// An incomplete video an earlier run saved at its target.
struct VideoRecord {
    std::string path;
    uint64_t size;
    uint32_t checksum;
};

struct JobRecord {
    std::string address;
    std::string playlistDigest;
    std::vector<SegmentRecord> segments;  // in the order written
    std::vector<VideoRecord> videos;
};

// The record's first lines.
std::string RecordHead(const std::string& address, const std::string& playlistDigest);
// One segment's line; one incomplete video's.
std::string RecordLine(const SegmentRecord& segment);
std::string RecordLine(const VideoRecord& video);
// A record's text; false without its head. A line that does not end in a line
// break, or does not read as a segment, is left out.
bool ParseJobRecord(const std::string& text, JobRecord* record);

// The size and CRC-32 of a file's bytes; false when it cannot be read whole.
bool MeasureFile(const std::string& path, uint64_t* size, uint32_t* checksum);
// Whether the file still holds the bytes of this size and checksum.
bool StillAsRecorded(const std::string& path, uint64_t size, uint32_t checksum);
// Whether `path` is an incomplete video of the record's, unchanged since.
bool IsRecordedVideo(const JobRecord& record, const std::string& path);

// The record of the job in `jobDirectory` (ending with a backslash); false
// when there is none that reads.
bool ReadJobRecord(const std::string& jobDirectory, JobRecord* record);

// The newest job directory in `dataDirectory` (ending with a backslash)
// whose record names this playlist digest, with a backslash at its end, and
// its record; empty when there is none.
std::string NewestJobFor(const std::string& dataDirectory, const std::string& playlistDigest,
                         JobRecord* newestRecord);

// A job's record, open for its lines to be appended.
class RecordFile {
  public:
    // A new job's record, made with its head; false when it cannot be made.
    bool Create(const std::string& jobDirectory, const std::string& head);
    // The record of a job that goes on.
    bool Reopen(const std::string& jobDirectory);
    // Measures the segment's file and appends its line; false when not written.
    bool Append(char track, size_t index, const std::string& file) const;
    // The same for an incomplete video saved at `path`.
    bool AppendVideo(const std::string& path) const;
    // Lets the file go, so that the job directory can be removed.
    void Close() { file_.Reset(); }

  private:
    bool Write(const std::string& line) const;

    runtime::UniqueHandle file_;
};

}  // namespace app
