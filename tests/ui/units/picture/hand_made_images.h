// Small pictures made byte by byte for the reader tests, where a file from
// another program cannot show the case.
#pragma once

#include <cstdint>
#include <vector>

namespace image_test {

inline void PutU16(std::vector<uint8_t>* bytes, uint32_t value) {
    bytes->push_back(uint8_t(value));
    bytes->push_back(uint8_t(value >> 8));
}

inline void PutU32(std::vector<uint8_t>* bytes, uint32_t value) {
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

// A 24-bit BMP with 40-byte header; `rows` as stored, each padded already.
inline std::vector<uint8_t> Bmp24(int32_t width, int32_t height, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> bytes{'B', 'M'};
    PutU32(&bytes, uint32_t(54 + rows.size()));
    PutU32(&bytes, 0);
    PutU32(&bytes, 54);  // pixel offset
    PutU32(&bytes, 40);
    PutU32(&bytes, uint32_t(width));
    PutU32(&bytes, uint32_t(height));
    PutU16(&bytes, 1);
    PutU16(&bytes, 24);
    for (int k = 0; k < 6; ++k) PutU32(&bytes, 0);  // BI_RGB, sizes, colours
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

// A GIF with a four-colour table and one frame holding the given LZW codes,
// each packed in the given number of bits.
inline std::vector<uint8_t> GifWithCodes(uint16_t screenWidth, uint16_t screenHeight,
                                         uint16_t width, uint16_t height,
                                         const std::vector<std::pair<uint32_t, uint32_t>>& codes) {
    std::vector<uint8_t> bytes{'G', 'I', 'F', '8', '9', 'a'};
    PutU16(&bytes, screenWidth);
    PutU16(&bytes, screenHeight);
    bytes.insert(bytes.end(), {0x81, 0, 0});  // a table of 4 entries, background 0
    bytes.insert(bytes.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    bytes.push_back(0x2C);
    PutU32(&bytes, 0);  // left, top
    PutU16(&bytes, width);
    PutU16(&bytes, height);
    bytes.insert(bytes.end(), {0, 2});  // no local table; minimum code size 2
    std::vector<uint8_t> stream;
    uint32_t buffer = 0, held = 0;
    for (const auto& code : codes) {
        buffer |= code.first << held;
        for (held += code.second; held >= 8; held -= 8, buffer >>= 8)
            stream.push_back(uint8_t(buffer));
    }
    if (held) stream.push_back(uint8_t(buffer));
    for (size_t at = 0; at < stream.size(); at += 255) {
        const size_t block = std::min<size_t>(255, stream.size() - at);
        bytes.push_back(uint8_t(block));
        bytes.insert(bytes.end(), stream.begin() + at, stream.begin() + at + block);
    }
    bytes.insert(bytes.end(), {0, 0x3B});
    return bytes;
}

}  // namespace image_test
