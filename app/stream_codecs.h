// What a segment's streams are coded with, as far as it says so itself: where
// an inserted clip of another format begins (after a discontinuity), the
// video must become a file of its own, since one MP4 track holds one codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// The stream types of an MPEG-TS program map, in order, in hexadecimal
// ("1b 0f" for H.264 and AAC); empty when no whole program map is found.
std::string TransportStreamCodecs(const uint8_t* data, size_t size);

// The sample entry types of an MP4 movie's tracks, in order ("avc1 mp4a");
// empty when the bytes hold no movie box with them.
std::string MovieCodecs(const uint8_t* data, size_t size);

// The codecs of a segment or map file, from its first bytes; empty when
// they cannot be told.
std::string FileCodecs(const std::string& path);

}  // namespace app
