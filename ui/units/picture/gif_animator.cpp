#include "ui/units/picture/gif_animator.h"

#include <algorithm>

#include "ui/gdi.h"
#include "ui/units/picture/picture_drawing.h"

namespace ui {

namespace {

// Disposal methods of the graphic control extension.
constexpr uint32_t kRestoreBackground = 2;
constexpr uint32_t kRestorePrevious = 3;

constexpr uint32_t kWaitStepMs = 10;
// A logical screen beyond this is not animated (64 MiB of canvas).
constexpr uint64_t kMaxCanvasPixels = uint64_t{1} << 24;

uint32_t CanvasPixel(COLORREF colour) {
    return uint32_t{GetRValue(colour)} << 16 | uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
}

}  // namespace

void ComposeGifFrame(GifCanvas& canvas, uint32_t canvasWidth, uint32_t canvasHeight,
                     const GifFrame& frame) {
    if (canvas.size() < uint64_t{canvasWidth} * canvasHeight ||
        frame.indexes.size() < uint64_t{frame.width} * frame.height) {
        return;
    }
    const uint32_t right =
        uint32_t(std::min<uint64_t>(uint64_t{frame.left} + frame.width, canvasWidth));
    const uint32_t bottom =
        uint32_t(std::min<uint64_t>(uint64_t{frame.top} + frame.height, canvasHeight));
    for (uint32_t y = frame.top; y < bottom; ++y) {
        const uint8_t* indexes = frame.indexes.data() + size_t{y - frame.top} * frame.width;
        uint32_t* row = canvas.data() + size_t{y} * canvasWidth;
        for (uint32_t x = frame.left; x < right; ++x) {
            const uint8_t index = indexes[x - frame.left];
            if ((frame.transparent && index == frame.transparentIndex) ||
                index >= frame.palette.size()) {
                continue;
            }
            const RGBQUAD& colour = frame.palette[index];
            row[x] =
                uint32_t{colour.rgbRed} << 16 | uint32_t{colour.rgbGreen} << 8 | colour.rgbBlue;
        }
    }
}

GifAnimator::BusyFlag::BusyFlag(std::atomic_flag& flag) : flag_(flag) {
    while (flag_.test_and_set(std::memory_order_acquire)) ::Sleep(0);
}

bool GifAnimator::Start(HWND window, const GifAnimation& animation, COLORREF background,
                        uint32_t displayMode) {
    Stop();
    const uint64_t pixels = uint64_t{animation.width} * animation.height;
    if (animation.frames.empty() || pixels == 0 || pixels > kMaxCanvasPixels ||
        !::IsWindow(window)) {
        return false;
    }
    window_ = window;
    animation_ = &animation;
    background_ = CanvasPixel(background);
    displayMode_ = displayMode;
    canvas_.assign(size_t(pixels), background_);
    state_ = kRunning;
    thread_ = runtime::UniqueHandle(::CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
    if (!thread_) state_ = kStopped;
    return running();
}

void GifAnimator::Stop() {
    if (!thread_) return;
    state_ = kStopRequested;
    ::WaitForSingleObject(thread_.get(), INFINITE);
    thread_.Reset();
}

RECT GifAnimator::CanvasRect(const RECT& client) const {
    const auto width = static_cast<int32_t>(animation_ ? animation_->width : 0);
    const auto height = static_cast<int32_t>(animation_ ? animation_->height : 0);
    RECT place = PlacePicture(displayMode_, client.right - client.left, client.bottom - client.top,
                              width, height);
    ::OffsetRect(&place, client.left, client.top);
    return place;
}

void GifAnimator::DrawCanvas(HDC dc, const RECT& client) {
    BusyFlag busy(busy_);
    CopyCanvas(dc, client);
}

DWORD WINAPI GifAnimator::ThreadMain(void* animator) {
    static_cast<GifAnimator*>(animator)->Play();
    return 0;
}

void GifAnimator::Play() {
    const std::vector<GifFrame>& frames = animation_->frames;
    GifCanvas previous;
    for (size_t i = 0; state_ == kRunning; i = (i + 1) % frames.size()) {
        const GifFrame& frame = frames[i];
        {
            BusyFlag busy(busy_);
            if (frame.disposal == kRestorePrevious) previous = canvas_;
            ComposeGifFrame(canvas_, animation_->width, animation_->height, frame);
        }
        CopyToWindow();
        if (!Wait(frame.delayMs)) break;
        BusyFlag busy(busy_);
        if (frame.disposal == kRestoreBackground) FillRect(canvas_, frame, background_);
        if (frame.disposal == kRestorePrevious) canvas_.swap(previous);
    }
    state_ = kStopped;
}

bool GifAnimator::Wait(uint32_t milliseconds) const {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        ::Sleep(kWaitStepMs);
        if (state_ != kRunning) return false;
    }
    return state_ == kRunning;
}

void GifAnimator::CopyToWindow() {
    const UniqueWindowDC dc = DCOfWindow(window_);
    if (!dc) return;
    RECT client;
    ::GetClientRect(window_, &client);
    BusyFlag busy(busy_);
    CopyCanvas(dc.get().dc, client);
}

void GifAnimator::CopyCanvas(HDC dc, const RECT& client) {
    if (canvas_.empty()) return;
    const RECT place = CanvasRect(client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(animation_->width);
    info.bmiHeader.biHeight = -static_cast<LONG>(animation_->height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetPictureStretchMode(dc);
    ::StretchDIBits(dc, place.left, place.top, place.right - place.left, place.bottom - place.top,
                    0, 0, static_cast<int>(animation_->width), static_cast<int>(animation_->height),
                    canvas_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void GifAnimator::FillRect(GifCanvas& canvas, const GifFrame& frame, uint32_t colour) const {
    const uint32_t right =
        uint32_t(std::min<uint64_t>(uint64_t{frame.left} + frame.width, animation_->width));
    const uint32_t bottom =
        uint32_t(std::min<uint64_t>(uint64_t{frame.top} + frame.height, animation_->height));
    for (uint32_t y = frame.top; y < bottom; ++y) {
        uint32_t* row = canvas.data() + size_t{y} * animation_->width;
        std::fill(row + std::min(frame.left, right), row + right, colour);
    }
}

}  // namespace ui
