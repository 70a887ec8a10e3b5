#include "ui/units/picture/gif_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/byte_reader.h"
#include "ui/units/picture/indexed_bitmap.h"

namespace ui {

namespace {

constexpr size_t kSignatureSize = 6;
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kColourTableFlag = 0x80;
constexpr uint8_t kInterlaceFlag = 0x40;
constexpr uint8_t kTransparentFlag = 0x01;
constexpr uint32_t kDelayUnitMs = 10;
constexpr uint32_t kDefaultDelayMs = 50;
constexpr unsigned kSmallestCodeBits = 2;  // also for two-colour pictures
constexpr unsigned kLargestCodeBits = 12;
constexpr unsigned kTableCapacity = 1u << kLargestCodeBits;

struct GraphicControl {
    uint32_t delayMs = kDefaultDelayMs;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    uint32_t disposal = 0;
};

// A colour table of 2^(n+1) RGB triples after a flags byte whose bit 7 says
// it is there; short tables are padded with black.
bool ReadColourTable(ByteReader* reader, uint8_t flags, std::vector<RGBQUAD>* table) {
    const size_t entries = size_t{2} << (flags & 7);
    const uint8_t* rgb = reader->Take(entries * 3);
    if (!rgb) return false;
    table->assign(256, RGBQUAD{});
    for (size_t k = 0; k < entries; ++k, rgb += 3) (*table)[k] = RGBQUAD{rgb[2], rgb[1], rgb[0], 0};
    return true;
}

// Data sub-blocks up to the empty one. A stream cut short keeps what is there
// and clears `complete`.
std::vector<uint8_t> ReadSubBlocks(ByteReader* reader, bool* complete) {
    std::vector<uint8_t> bytes;
    *complete = false;
    while (const uint8_t* size = reader->Take(1)) {
        if (*size == 0) {
            *complete = true;
            break;
        }
        const size_t available = std::min<size_t>(*size, reader->remaining());
        const uint8_t* block = reader->Take(available);
        bytes.insert(bytes.end(), block, block + available);
        if (available < *size) break;
    }
    return bytes;
}

// LZW codes packed least significant bit first.
class CodeReader {
  public:
    explicit CodeReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    // False when the stream holds fewer than `bits` more bits.
    bool Read(unsigned bits, unsigned* code) {
        while (held_ < bits) {
            if (next_ == bytes_.size()) return false;
            buffer_ |= uint32_t{bytes_[next_++]} << held_;
            held_ += 8;
        }
        *code = buffer_ & ((1u << bits) - 1);
        buffer_ >>= bits;
        held_ -= bits;
        return true;
    }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t next_ = 0;
    uint32_t buffer_ = 0;
    unsigned held_ = 0;
};

// Decodes up to out.size() indexes. A stream that ends early or holds a code
// not yet defined leaves the remaining indexes as they are.
void DecodeLzw(const std::vector<uint8_t>& stream, unsigned minimumBits,
               std::vector<uint8_t>* out) {
    std::vector<uint16_t> prefix(kTableCapacity);
    std::vector<uint16_t> lengthOf(kTableCapacity, 1);
    std::vector<uint8_t> suffix(kTableCapacity);
    std::vector<uint8_t> firstOf(kTableCapacity);
    const unsigned clear = 1u << minimumBits;
    const unsigned end = clear + 1;
    for (unsigned code = 0; code < clear; ++code) {
        suffix[code] = firstOf[code] = static_cast<uint8_t>(code);
    }

    CodeReader codes(stream);
    unsigned bits = minimumBits + 1;
    unsigned next = clear + 2;
    bool havePrevious = false;
    unsigned previous = 0;
    size_t written = 0;
    unsigned code = 0;
    while (written < out->size() && codes.Read(bits, &code) && code != end) {
        if (code == clear) {
            bits = minimumBits + 1;
            next = clear + 2;
            havePrevious = false;
            continue;
        }
        if (!havePrevious) {
            if (code > clear) return;
        } else if (code > next) {
            return;
        } else if (next < kTableCapacity) {
            // For code == next the new string is the previous one and its own first byte.
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = code < next ? firstOf[code] : firstOf[previous];
            firstOf[next] = firstOf[previous];
            lengthOf[next] = static_cast<uint16_t>(lengthOf[previous] + 1);
            ++next;
            if (next == (1u << bits) && bits < kLargestCodeBits) ++bits;
        }
        // The string is written back to front along its prefixes; what lies past
        // the frame is dropped.
        const size_t stringLength = lengthOf[code];
        size_t position = written + stringLength;
        for (unsigned link = code; position-- > written; link = prefix[link]) {
            if (position < out->size()) (*out)[position] = suffix[link];
        }
        written += stringLength;
        previous = code;
        havePrevious = true;
    }
}

// Rows stored in the four interlace passes, put back in display order.
std::vector<uint8_t> Deinterlace(const std::vector<uint8_t>& stored, uint32_t width,
                                 uint32_t height) {
    static const uint32_t kStart[] = {0, 4, 2, 1};
    static const uint32_t kStep[] = {8, 8, 4, 2};
    std::vector<uint8_t> rows(stored.size());
    const uint8_t* source = stored.data();
    for (int pass = 0; pass < 4; ++pass) {
        for (uint32_t y = kStart[pass]; y < height; y += kStep[pass], source += width) {
            std::memcpy(rows.data() + size_t{width} * y, source, width);
        }
    }
    return rows;
}

struct GifFile {
    GifAnimation animation;
    uint8_t backgroundIndex = 0;
};

// Reads up to `frameLimit` frames. False when the data is not a GIF or holds
// no frame; frames after a corrupt block are dropped.
bool ReadGif(const uint8_t* data, size_t length, size_t frameLimit, GifFile* file) {
    ByteReader reader(data, length);
    const uint8_t* signature = reader.Take(kSignatureSize);
    uint32_t screenWidth = reader.U16();
    uint32_t screenHeight = reader.U16();
    const uint8_t* screenFlags = reader.Take(1);
    const uint8_t* background = reader.Take(1);
    if (!reader.Skip(1) || (std::memcmp(signature, "GIF87a", kSignatureSize) != 0 &&
                            std::memcmp(signature, "GIF89a", kSignatureSize) != 0)) {
        return false;
    }
    file->backgroundIndex = *background;
    std::vector<RGBQUAD> globalTable;
    if ((*screenFlags & kColourTableFlag) &&
        !ReadColourTable(&reader, *screenFlags, &globalTable)) {
        return false;
    }

    std::vector<GifFrame>& frames = file->animation.frames;
    uint64_t pixelsHeld = 0;
    GraphicControl control;
    while (frames.size() < frameLimit) {
        const uint8_t* introducer = reader.Take(1);
        if (!introducer) break;
        if (*introducer == kExtensionIntroducer) {
            const uint8_t* label = reader.Take(1);
            bool complete = false;
            const std::vector<uint8_t> body = ReadSubBlocks(&reader, &complete);
            if (!label || !complete) break;
            if (*label == kGraphicControlLabel && body.size() >= 4) {
                const uint32_t delay = body[1] | uint32_t{body[2]} << 8;
                control.delayMs = delay == 0 ? kDefaultDelayMs : delay * kDelayUnitMs;
                control.transparent = (body[0] & kTransparentFlag) != 0;
                control.transparentIndex = body[3];
                control.disposal = (body[0] >> 2) & 7;
            }
            continue;
        }
        if (*introducer != kImageSeparator) break;

        GifFrame frame;
        frame.left = reader.U16();
        frame.top = reader.U16();
        frame.width = reader.U16();
        frame.height = reader.U16();
        const uint8_t* flags = reader.Take(1);
        if (!flags || !ImageSizeAcceptable(frame.width, frame.height) ||
            pixelsHeld + uint64_t{frame.width} * frame.height > kMaxImagePixels) {
            break;
        }
        if (*flags & kColourTableFlag) {
            if (!ReadColourTable(&reader, *flags, &frame.palette)) break;
        } else if (!globalTable.empty()) {
            frame.palette = globalTable;
        } else {
            break;
        }
        const uint8_t* minimumBits = reader.Take(1);
        if (!minimumBits || *minimumBits < kSmallestCodeBits || *minimumBits > 8) break;
        bool complete = false;
        const std::vector<uint8_t> stream = ReadSubBlocks(&reader, &complete);

        frame.delayMs = control.delayMs;
        frame.transparent = control.transparent;
        frame.transparentIndex = control.transparentIndex;
        frame.disposal = control.disposal;
        control = GraphicControl();
        frame.indexes.assign(size_t{frame.width} * frame.height, 0);
        DecodeLzw(stream, *minimumBits, &frame.indexes);
        if (*flags & kInterlaceFlag) {
            frame.indexes = Deinterlace(frame.indexes, frame.width, frame.height);
        }
        pixelsHeld += frame.indexes.size();
        frames.push_back(std::move(frame));
        if (!complete) break;
    }
    if (frames.empty()) return false;

    if (screenWidth == 0 || screenHeight == 0) {
        screenWidth = frames[0].left + frames[0].width;
        screenHeight = frames[0].top + frames[0].height;
    }
    file->animation.width = screenWidth;
    file->animation.height = screenHeight;
    return ImageSizeAcceptable(screenWidth, screenHeight);
}

// The first frame on the logical screen; what lies outside the screen is cut.
std::vector<uint8_t> StillOfFirstFrame(const GifFile& file) {
    const GifAnimation& animation = file.animation;
    const GifFrame& frame = animation.frames[0];
    std::vector<uint8_t> canvas(size_t{animation.width} * animation.height, file.backgroundIndex);
    const uint32_t right = std::min(animation.width, frame.left + frame.width);
    const uint32_t bottom = std::min(animation.height, frame.top + frame.height);
    for (uint32_t y = frame.top; y < bottom; ++y) {
        if (frame.left >= right) break;
        std::memcpy(canvas.data() + size_t{animation.width} * y + frame.left,
                    frame.indexes.data() + size_t{frame.width} * (y - frame.top),
                    right - frame.left);
    }
    RGBQUAD palette[256];
    std::memcpy(palette, frame.palette.data(), sizeof palette);
    return MakeIndexedBitmap(animation.width, animation.height, palette, canvas);
}

}  // namespace

DecodedImage DecodeGif(const uint8_t* data, size_t length, bool animate) {
    DecodedImage image;
    GifFile file;
    if (!ReadGif(data, length, animate ? SIZE_MAX : 1, &file)) return image;
    image.kind = ImageKind::kGif;
    image.width = static_cast<int32_t>(file.animation.width);
    image.height = static_cast<int32_t>(file.animation.height);
    if (file.animation.frames.size() > 1) {
        image.animation = std::make_unique<GifAnimation>(std::move(file.animation));
    } else {
        image.pixels = StillOfFirstFrame(file);
    }
    return image;
}

}  // namespace ui
