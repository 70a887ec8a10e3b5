#include "ui/icon_file.h"

#include <utility>
#include <vector>

#include "ui/byte_reader.h"
#include "ui/image_limits.h"

namespace ui {

namespace {

constexpr uint16_t kIconDirectory = 1;
constexpr size_t kEntrySize = 16;
constexpr uint8_t kPreferredWidth = 32;
constexpr uint8_t kFewestPreferredColours = 16;
constexpr DWORD kIconFormatVersion = 0x30000;

struct Entry {
    uint8_t width = 0;
    uint8_t colours = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
};

}  // namespace

IconFromFile CreateIconFromFile(const uint8_t* data, size_t length) {
    IconFromFile result;
    ByteReader reader(data, length);
    reader.Skip(2);  // reserved
    const uint16_t type = reader.U16();
    const uint16_t count = reader.U16();
    if (!reader.ok() || count == 0) return result;

    Entry entry;
    for (uint16_t k = 0; k < count; ++k) {
        const uint8_t* fields = reader.Take(kEntrySize);
        if (!fields) return result;
        // Byte 1 is the height; bytes 4 to 7 the planes and bit count, or a
        // cursor's hot spot.
        ByteReader placement(fields + 8, 8);
        entry = Entry{fields[0], fields[2], placement.U32(), placement.U32()};
        if (entry.width == kPreferredWidth && entry.colours >= kFewestPreferredColours) break;
    }
    if (entry.offset > length || entry.size > length - entry.offset ||
        entry.size < sizeof(BITMAPINFOHEADER)) {
        return result;
    }

    // A heap copy: the resource bits must be DWORD-aligned.
    std::vector<BYTE> bits(data + entry.offset, data + entry.offset + entry.size);
    ByteReader header(bits.data(), bits.size());
    header.Skip(4);  // header size
    const int32_t width = header.I32();
    const int32_t height = header.I32() / 2;
    header.Skip(2);  // planes
    const uint16_t bitCount = header.U16();
    if (width <= 0 || height <= 0 || !ImageSizeAcceptable(width, height)) return result;

    UniqueIcon icon(::CreateIconFromResourceEx(bits.data(), entry.size, TRUE, kIconFormatVersion,
                                               width, height, LR_DEFAULTCOLOR));
    if (!icon && bitCount != 16) {
        icon =
            UniqueIcon(::CreateIconFromResource(bits.data(), entry.size, TRUE, kIconFormatVersion));
    }
    if (!icon) return result;
    result.icon = std::move(icon);
    result.width = width;
    result.height = height;
    result.cursor = type != kIconDirectory;
    return result;
}

}  // namespace ui
