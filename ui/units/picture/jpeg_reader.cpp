#include "ui/units/picture/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "ui/units/picture/indexed_bitmap.h"

namespace ui {

namespace {

// libjpeg's own error_exit ends the process; ours jumps back to Decompress.
// Only libjpeg's C frames lie between the jump and its target, so nothing
// with a destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void LeaveDecoding(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Corrupt data only raises warnings, which would go to stderr.
void IgnoreMessage(j_common_ptr) {}

// Everything libjpeg does happens in this frame, which owns nothing that a
// jump out of libjpeg could leak; the pixel block belongs to the caller, and
// so does destroying `info`, which is safe even if creating it failed.
bool Decompress(jpeg_decompress_struct* info, const uint8_t* data, size_t length,
                DecodedImage* image) {
    if (setjmp(reinterpret_cast<ErrorManager*>(info->err)->jump)) return false;
    ::jpeg_create_decompress(info);
    ::jpeg_mem_src(info, data, static_cast<unsigned long>(length));
    ::jpeg_read_header(info, TRUE);
    if ((info->num_components != 1 && info->num_components != 3) ||
        !ImageSizeAcceptable(info->image_width, info->image_height)) {
        return false;
    }
    // libjpeg-turbo expands greyscale and swaps to B, G, R itself.
    info->out_color_space = JCS_EXT_BGR;
    ::jpeg_start_decompress(info);
    const size_t stride = size_t{info->output_width} * 3;
    image->pixels.resize(stride * info->output_height);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row =
            image->pixels.data() + stride * (info->output_height - 1 - info->output_scanline);
        ::jpeg_read_scanlines(info, &row, 1);
    }
    ::jpeg_finish_decompress(info);
    image->width = static_cast<int32_t>(info->output_width);
    image->height = static_cast<int32_t>(info->output_height);
    return true;
}

}  // namespace

DecodedImage DecodeJpeg(const uint8_t* data, size_t length) {
    DecodedImage image;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = ::jpeg_std_error(&errors.base);
    errors.base.error_exit = LeaveDecoding;
    errors.base.output_message = IgnoreMessage;
    const bool decoded = Decompress(&info, data, length, &image);
    ::jpeg_destroy_decompress(&info);
    if (!decoded) return DecodedImage();
    image.kind = ImageKind::kJpeg;
    return image;
}

}  // namespace ui
