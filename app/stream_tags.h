// A media playlist read as HLS says: its URI lines (every line that is
// neither blank nor begins with "#"), each with the key in force for it and
// its media sequence number and byte range, and the initialization map of
// fragmented MP4 streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/byte_range.h"

namespace app {

// An #EXT-X-KEY in force.
struct SegmentKey {
    std::string method;  // as written: AES-128, SAMPLE-AES...
    std::string uri;     // as written, not yet resolved
    std::string iv;      // the IV attribute as written ("0x..."), or empty
};

struct UriLine {
    std::string text;   // blanks at its ends taken off
    int keyIndex = -1;  // into StreamTags::keys; -1 when not encrypted
    uint64_t sequence = 0;
    double seconds = 0;                   // the #EXTINF duration before it; 0 without one
    std::optional<net::ByteRange> range;  // the #EXT-X-BYTERANGE before it
    int mapIndex = -1;  // into StreamTags::maps: the map in force for it; -1 without one
    int period = 0;     // how many #EXT-X-DISCONTINUITY tags come before it
};

// An #EXT-X-MAP: the initialization section of the fragments after it.
struct MapTag {
    std::string uri;                      // as written, not yet resolved
    std::optional<net::ByteRange> range;  // its BYTERANGE attribute
};

struct StreamTags {
    std::vector<SegmentKey> keys;
    std::vector<UriLine> uriLines;  // in playlist order
    std::vector<MapTag> maps;       // in playlist order
    // The first method this program cannot decrypt that a segment is
    // encrypted with, or empty.
    std::string unsupportedMethod;
};

StreamTags ReadStreamTags(const char* playlist);

// A byte range written "length[@offset]" (RFC 8216, 4.3.2.2), the offset
// omitted standing for `nextOffset`, the byte after the previous slice of the
// same resource. False for a text that is no such range, a length of 0, or
// an end past 2^64.
bool ReadByteRange(const std::string& text, uint64_t nextOffset, net::ByteRange* range);

// Whether the line is the tag (its name with the colon, "#EXT-X-KEY:"), and
// then the attribute list after it.
bool TagAttributes(const std::string& line, const char* tag, std::string* attributes);

// The value of a tag attribute ("BANDWIDTH", "URI"...) in an attribute list
// such as `METHOD=AES-128,URI="k.bin"`, quotes taken off; empty when absent.
std::string AttributeOf(const std::string& attributes, const std::string& name);

// The 16 bytes of an IV: the attribute's hexadecimal digits ("0x" first,
// fewer digits padded in front), else the sequence number big-endian.
// False for an attribute that is no such number.
bool InitialisationVector(const std::string& ivAttribute, uint64_t sequence, uint8_t (&iv)[16]);

}  // namespace app
