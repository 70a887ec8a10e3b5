// Segments some sites hide behind the bytes of a small picture, so that they
// pass for one: the merge tool cannot read them until the picture is gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// The length of a picture in front of an MPEG-TS stream: the offset of the
// first packet when the bytes begin with a PNG, JPEG, GIF or BMP signature
// and the sync byte stands there and at the next two 188-byte steps; else 0,
// and nothing is to be taken off.
size_t PicturePrefixLength(const uint8_t* data, size_t size);

// Takes such a picture off the front of a segment's file; true when there
// was one. Touches nothing but the file, so a pool's worker may call it.
bool RemovePicturePrefix(const std::string& path);

}  // namespace app
