#include "ui/units/picture/icon_reader.h"

#include <utility>

#include "ui/icon_file.h"

namespace ui {

DecodedImage DecodeIcon(const uint8_t* data, size_t length) {
    DecodedImage image;
    IconFromFile file = CreateIconFromFile(data, length);
    if (!file.icon) return image;
    image.kind = file.cursor ? ImageKind::kCursor : ImageKind::kIcon;
    image.icon = std::move(file.icon);
    image.width = file.width;
    image.height = file.height;
    return image;
}

}  // namespace ui
