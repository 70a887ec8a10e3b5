#include "app/stream_tags.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "app/segment_lines.h"

namespace app {

namespace {

constexpr char kKeyTag[] = "#EXT-X-KEY:";
constexpr char kMapTag[] = "#EXT-X-MAP:";
constexpr char kSequenceTag[] = "#EXT-X-MEDIA-SEQUENCE:";
constexpr char kDurationTag[] = "#EXTINF:";
constexpr char kByteRangeTag[] = "#EXT-X-BYTERANGE:";
constexpr char kDiscontinuityTag[] = "#EXT-X-DISCONTINUITY";
constexpr char kNoEncryption[] = "NONE";
constexpr char kAes128[] = "AES-128";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ReadByteRange(const std::string& text, uint64_t nextOffset, net::ByteRange* range) {
    const char* at = text.c_str();
    net::ByteRange read;
    read.offset = nextOffset;
    if (!net::ReadDecimal(&at, &read.length) || read.length == 0) return false;
    if (*at == '@' && !net::ReadDecimal(&++at, &read.offset)) return false;
    if (*at != '\0' || read.offset > UINT64_MAX - read.length) return false;
    *range = read;
    return true;
}

bool TagAttributes(const std::string& line, const char* tag, std::string* attributes) {
    const size_t length = std::strlen(tag);
    if (line.compare(0, length, tag) != 0) return false;
    *attributes = line.substr(length);
    return true;
}

std::string AttributeOf(const std::string& attributes, const std::string& name) {
    size_t at = 0;
    while (at < attributes.size()) {
        const size_t equals = attributes.find('=', at);
        if (equals == std::string::npos) return {};
        const std::string key = attributes.substr(at, equals - at);
        size_t end;
        std::string value;
        if (equals + 1 < attributes.size() && attributes[equals + 1] == '"') {
            const size_t close = attributes.find('"', equals + 2);
            end = close == std::string::npos ? attributes.size() : close + 1;
            value = attributes.substr(
                equals + 2, (close == std::string::npos ? attributes.size() : close) - equals - 2);
        } else {
            end = std::min(attributes.find(',', equals), attributes.size());
            value = attributes.substr(equals + 1, end - equals - 1);
        }
        if (key == name) return value;
        at = attributes.find(',', end);
        if (at == std::string::npos) return {};
        ++at;
    }
    return {};
}

StreamTags ReadStreamTags(const char* playlist) {
    StreamTags tags;
    uint64_t firstSequence = 0;
    uint64_t position = 0;
    int keyIndex = -1;
    int mapIndex = -1;
    int period = 0;
    double seconds = 0;
    std::string rangeText;                      // of the #EXT-X-BYTERANGE before the next URI line
    std::map<std::string, uint64_t> slicesEnd;  // by URI text: the byte after its last slice
    ForEachLine(playlist, [&](const std::string& line) {
        if (line.empty()) return;
        if (line[0] != '#') {
            std::optional<net::ByteRange> range;
            net::ByteRange slice;
            if (!rangeText.empty() && ReadByteRange(rangeText, slicesEnd[line], &slice)) {
                range = slice;
                slicesEnd[line] = slice.end();
            }
            tags.uriLines.push_back(UriLine{line, keyIndex, firstSequence + position++, seconds,
                                            range, mapIndex, period});
            seconds = 0;
            rangeText.clear();
            if (keyIndex >= 0 && tags.keys[keyIndex].method != kAes128 &&
                tags.unsupportedMethod.empty()) {
                tags.unsupportedMethod = tags.keys[keyIndex].method;
            }
            return;
        }
        std::string attributes;
        if (line == kDiscontinuityTag) {
            ++period;
        } else if (TagAttributes(line, kDurationTag, &attributes)) {
            seconds = std::strtod(attributes.c_str(), nullptr);
            if (!(seconds > 0)) seconds = 0;  // also a NaN
        } else if (TagAttributes(line, kSequenceTag, &attributes)) {
            firstSequence = std::strtoull(attributes.c_str(), nullptr, 10);
        } else if (TagAttributes(line, kByteRangeTag, &attributes)) {
            rangeText = attributes;
        } else if (TagAttributes(line, kMapTag, &attributes)) {
            MapTag map{AttributeOf(attributes, "URI"), {}};
            net::ByteRange mapRange;
            if (ReadByteRange(AttributeOf(attributes, "BYTERANGE"), 0, &mapRange))
                map.range = mapRange;
            tags.maps.push_back(map);
            mapIndex = static_cast<int>(tags.maps.size()) - 1;
        } else if (TagAttributes(line, kKeyTag, &attributes)) {
            SegmentKey key{AttributeOf(attributes, "METHOD"), AttributeOf(attributes, "URI"),
                           AttributeOf(attributes, "IV")};
            if (key.method == kNoEncryption) {
                keyIndex = -1;
                return;
            }
            tags.keys.push_back(key);
            keyIndex = static_cast<int>(tags.keys.size()) - 1;
        }
    });
    return tags;
}

bool InitialisationVector(const std::string& ivAttribute, uint64_t sequence, uint8_t (&iv)[16]) {
    if (ivAttribute.empty()) {
        for (int i = 0; i < 16; ++i) {
            iv[15 - i] = i < 8 ? static_cast<uint8_t>(sequence >> (8 * i)) : 0;
        }
        return true;
    }
    if (ivAttribute.size() < 3 || ivAttribute[0] != '0' ||
        (ivAttribute[1] != 'x' && ivAttribute[1] != 'X')) {
        return false;
    }
    const std::string digits = ivAttribute.substr(2);
    if (digits.size() > 32) return false;
    uint8_t bytes[16] = {};
    for (size_t k = 0; k < digits.size(); ++k) {
        const int value = HexValue(digits[digits.size() - 1 - k]);
        if (value < 0) return false;
        bytes[15 - k / 2] |= static_cast<uint8_t>(value << (4 * (k % 2)));
    }
    std::memcpy(iv, bytes, sizeof bytes);
    return true;
}

}  // namespace app
