#include "app/job_record.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "app/data/app_image.h"
#include "net/byte_range.h"

namespace app {

namespace {

constexpr char kHead[] = "Velmora job record 1\n";
constexpr char kAddressField[] = "address ";
constexpr char kPlaylistField[] = "playlist ";
constexpr char kVideoField[] = "video ";
// Far more than the lines of any playlist's segments.
constexpr uint64_t kLargestRecord = 64 << 20;
constexpr DWORD kReadPiece = 64 * 1024;

std::string RecordPathIn(const std::string& jobDirectory) {
    return jobDirectory + Constants().jobRecordFileName;
}

// A line break could make the address's line two.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

bool ReadSmallFile(const std::string& path, std::string* text) {
    const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kLargestRecord) {
        return false;
    }
    text->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return text->empty() || (::ReadFile(file.get(), text->data(), static_cast<DWORD>(text->size()),
                                        &read, nullptr) &&
                             read == text->size());
}

// "size checksum" at `*at`, the checksum eight hexadecimal digits, stepping past them.
bool ReadMeasure(const char** at, uint64_t* size, uint32_t* checksum) {
    if (!net::ReadDecimal(at, size) || **at != ' ') return false;
    const std::string hex(*at + 1, ::strnlen(*at + 1, 8));
    if (hex.size() != 8 || !std::all_of(hex.begin(), hex.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
        })) {
        return false;
    }
    *checksum = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    *at += 1 + hex.size();
    return true;
}

// "t index size checksum", t being v or a.
bool ReadSegmentLine(const std::string& line, SegmentRecord* segment) {
    if (line.size() < 2 || (line[0] != 'v' && line[0] != 'a') || line[1] != ' ') return false;
    const char* at = line.c_str() + 2;
    uint64_t index = 0;
    if (!net::ReadDecimal(&at, &index) || *at++ != ' ' || index > SIZE_MAX ||
        !ReadMeasure(&at, &segment->size, &segment->checksum) || *at != '\0') {
        return false;
    }
    segment->track = line[0];
    segment->index = static_cast<size_t>(index);
    return true;
}

// "video size checksum path".
bool ReadVideoLine(const std::string& line, VideoRecord* video) {
    if (line.compare(0, sizeof kVideoField - 1, kVideoField) != 0) return false;
    const char* at = line.c_str() + sizeof kVideoField - 1;
    if (!ReadMeasure(&at, &video->size, &video->checksum) || *at != ' ' || at[1] == '\0') {
        return false;
    }
    video->path = at + 1;
    return true;
}

FILETIME WrittenAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
    return data.ftLastWriteTime;
}

}  // namespace

std::string RecordHead(const std::string& address, const std::string& playlistDigest) {
    return kHead + std::string(kAddressField) + OneLine(address) + "\n" + kPlaylistField +
           playlistDigest + "\n";
}

std::string RecordLine(const SegmentRecord& segment) {
    char line[64];
    std::snprintf(line, sizeof line, "%c %u %" PRIu64 " %08x\n", segment.track,
                  static_cast<unsigned>(segment.index), segment.size,
                  static_cast<unsigned>(segment.checksum));
    return line;
}

std::string RecordLine(const VideoRecord& video) {
    char measure[40];
    std::snprintf(measure, sizeof measure, "%" PRIu64 " %08x ", video.size,
                  static_cast<unsigned>(video.checksum));
    return kVideoField + std::string(measure) + OneLine(video.path) + "\n";
}

bool ParseJobRecord(const std::string& text, JobRecord* record) {
    *record = {};
    size_t at = 0;
    int lineNumber = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = text.substr(at, end - at);
        switch (lineNumber++) {
            case 0:
                if (line + "\n" != kHead) return false;
                break;
            case 1:
                if (line.compare(0, sizeof kAddressField - 1, kAddressField) != 0) return false;
                record->address = line.substr(sizeof kAddressField - 1);
                break;
            case 2:
                if (line.compare(0, sizeof kPlaylistField - 1, kPlaylistField) != 0) return false;
                record->playlistDigest = line.substr(sizeof kPlaylistField - 1);
                break;
            default: {
                SegmentRecord segment;
                VideoRecord video;
                if (ReadSegmentLine(line, &segment)) record->segments.push_back(segment);
                if (ReadVideoLine(line, &video)) record->videos.push_back(video);
            }
        }
    }
    return lineNumber >= 3;
}

bool MeasureFile(const std::string& path, uint64_t* size, uint32_t* checksum) {
    const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING,
                                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    const std::unique_ptr<Bytef[]> piece(new Bytef[kReadPiece]);
    uLong crc = crc32(0, Z_NULL, 0);
    *size = 0;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), piece.get(), kReadPiece, &read, nullptr)) return false;
        if (read == 0) break;
        crc = crc32(crc, piece.get(), read);
        *size += read;
    }
    *checksum = static_cast<uint32_t>(crc);
    return true;
}

bool StillAsRecorded(const std::string& path, uint64_t size, uint32_t checksum) {
    uint64_t sizeNow = 0;
    uint32_t checksumNow = 0;
    return MeasureFile(path, &sizeNow, &checksumNow) && sizeNow == size && checksumNow == checksum;
}

bool IsRecordedVideo(const JobRecord& record, const std::string& path) {
    return std::any_of(record.videos.begin(), record.videos.end(), [&](const VideoRecord& video) {
        return ::lstrcmpiA(video.path.c_str(), path.c_str()) == 0 &&
               StillAsRecorded(path, video.size, video.checksum);
    });
}

bool ReadJobRecord(const std::string& jobDirectory, JobRecord* record) {
    std::string text;
    return ReadSmallFile(RecordPathIn(jobDirectory), &text) && ParseJobRecord(text, record);
}

std::string NewestJobFor(const std::string& dataDirectory, const std::string& playlistDigest,
                         JobRecord* newestRecord) {
    WIN32_FIND_DATAA found = {};
    const std::string pattern = dataDirectory + "~*~";
    const runtime::UniqueFileSearch search(::FindFirstFileA(pattern.c_str(), &found));
    if (!search) return {};
    std::string newest;
    FILETIME newestAt = {};
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string directory = dataDirectory + found.cFileName + "\\";
        JobRecord record;
        if (!ReadJobRecord(directory, &record) || record.playlistDigest != playlistDigest) continue;
        const FILETIME at = WrittenAt(RecordPathIn(directory));
        if (newest.empty() || ::CompareFileTime(&at, &newestAt) > 0) {
            newest = directory;
            newestAt = at;
            *newestRecord = std::move(record);
        }
    } while (::FindNextFileA(search.get(), &found));
    return newest;
}

bool RecordFile::Create(const std::string& jobDirectory, const std::string& head) {
    file_ = runtime::UniqueHandle(::CreateFileA(RecordPathIn(jobDirectory).c_str(),
                                                FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return Write(head);
}

// A line torn by an interruption is ended first, so that the next one stands
// on a line of its own.
bool RecordFile::Reopen(const std::string& jobDirectory) {
    file_ = runtime::UniqueHandle(
        ::CreateFileA(RecordPathIn(jobDirectory).c_str(), GENERIC_READ | FILE_APPEND_DATA,
                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER last = {};
    last.QuadPart = -1;
    char lastByte = '\n';
    DWORD read = 0;
    if (!file_ || !::SetFilePointerEx(file_.get(), last, nullptr, FILE_END) ||
        !::ReadFile(file_.get(), &lastByte, 1, &read, nullptr) || read != 1) {
        return false;
    }
    DWORD written = 0;
    return lastByte == '\n' ||
           (::WriteFile(file_.get(), "\n", 1, &written, nullptr) && written == 1);
}

// One write for the whole line: a process killed meanwhile leaves the line
// whole or torn, never a line that names a file it should not.
bool RecordFile::Append(char track, size_t index, const std::string& file) const {
    SegmentRecord segment{track, index, 0, 0};
    return MeasureFile(file, &segment.size, &segment.checksum) && Write(RecordLine(segment));
}

bool RecordFile::AppendVideo(const std::string& path) const {
    VideoRecord video{path, 0, 0};
    return MeasureFile(path, &video.size, &video.checksum) && Write(RecordLine(video));
}

bool RecordFile::Write(const std::string& line) const {
    DWORD written = 0;
    return file_ &&
           ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr) &&
           written == line.size();
}

}  // namespace app
