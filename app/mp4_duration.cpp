#include "app/mp4_duration.h"

#include <windows.h>

#include <vector>

#include "app/mp4_box.h"
#include "runtime/owned.h"

namespace app {

namespace {

// A movie box larger than this is no movie header a tool wrote.
constexpr uint64_t kLargestMovieBox = 64 << 20;

// The movie header's duration / timescale, after its version and flags.
double HeaderSeconds(const uint8_t* mvhd, size_t size) {
    if (size < 4) return -1;
    const bool longForm = mvhd[0] == 1;
    const size_t timescaleAt = longForm ? 20 : 12;
    const size_t durationSize = longForm ? 8 : 4;
    if (size < timescaleAt + 4 + durationSize) return -1;
    const uint32_t timescale = BigEndian32(mvhd + timescaleAt);
    const uint64_t duration =
        longForm ? BigEndian64(mvhd + timescaleAt + 4) : BigEndian32(mvhd + timescaleAt + 4);
    return timescale == 0 ? -1 : static_cast<double>(duration) / timescale;
}

bool ReadAt(HANDLE file, uint64_t offset, void* into, DWORD size, DWORD* read) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ::ReadFile(file, into, size, read, nullptr);
}

}  // namespace

double MovieSeconds(const uint8_t* movie, size_t size) {
    for (size_t at = 0; at < size;) {
        BoxHeader box;
        if (!ReadBoxHeader(movie + at, size - at, size - at, &box)) return -1;
        if (box.type == BoxType("mvhd")) {
            return HeaderSeconds(movie + at + box.headerSize,
                                 static_cast<size_t>(box.size) - box.headerSize);
        }
        at += static_cast<size_t>(box.size);
    }
    return -1;
}

double Mp4Seconds(const std::string& path) {
    const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER fileSize = {};
    if (!file || !::GetFileSizeEx(file.get(), &fileSize)) return -1;
    const uint64_t end = static_cast<uint64_t>(fileSize.QuadPart);
    // The top-level boxes are walked by their sizes; only the movie box is read.
    for (uint64_t at = 0; at < end;) {
        uint8_t header[16];
        DWORD read = 0;
        BoxHeader box;
        if (!ReadAt(file.get(), at, header, sizeof header, &read) ||
            !ReadBoxHeader(header, read, end - at, &box)) {
            return -1;
        }
        if (box.type == BoxType("moov")) {
            const uint64_t contentSize = box.size - box.headerSize;
            if (contentSize > kLargestMovieBox) return -1;
            std::vector<uint8_t> movie(static_cast<size_t>(contentSize));
            if (!ReadAt(file.get(), at + box.headerSize, movie.data(),
                        static_cast<DWORD>(movie.size()), &read) ||
                read != movie.size()) {
                return -1;
            }
            return MovieSeconds(movie.data(), movie.size());
        }
        at += box.size;
    }
    return -1;
}

}  // namespace app
