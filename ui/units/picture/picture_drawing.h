// Drawing decoded pictures with GDI: where a picture goes in a client area by
// display mode, and the device bitmap made from each kind's pixels.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "ui/gdi.h"
#include "ui/units/picture/decoded_image.h"

namespace ui {

namespace display_mode {
constexpr uint32_t kOwnSize = 0;    // at the top-left corner, unscaled
constexpr uint32_t kStretched = 1;  // over the whole client area
constexpr uint32_t kFitted = 2;     // scaled down keeping proportions, centred
constexpr uint32_t kLast = kFitted;
}  // namespace display_mode

// The rectangle a picture of the given size takes in a client area of the
// given size; empty for a picture without pixels.
RECT PlacePicture(uint32_t displayMode, int32_t clientWidth, int32_t clientHeight,
                  int32_t pictureWidth, int32_t pictureHeight);

// Pixels in B, G, R, A order whose alpha is below 255 blended over the
// background colour; opaque pixels stay as they are.
void BlendOverBackground(uint8_t* pixels, size_t pixelCount, COLORREF background);

// A device bitmap of a picture of the kinds drawn from pixels; null for
// icons, animations and pixel blocks too small for the picture's size.
UniqueBitmap CreatePictureBitmap(const DecodedImage& image, COLORREF background);

// HALFTONE on displays of more than 16 bits per pixel, else COLORONCOLOR.
void SetPictureStretchMode(HDC dc);

// Draws the picture placed by the display mode in the client rectangle.
void DrawPicture(HDC dc, const DecodedImage& image, uint32_t displayMode, const RECT& client,
                 COLORREF background);

}  // namespace ui
