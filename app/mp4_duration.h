// How long a merged video plays, as its movie header (moov/mvhd) says: the
// figure a player shows, read without loading the file, which may be larger
// than a 32-bit process can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// The duration in seconds; negative when the file has no readable movie header.
double Mp4Seconds(const std::string& path);

// The same from the content of a movie box (the bytes after its header).
double MovieSeconds(const uint8_t* movie, size_t size);

}  // namespace app
