// Plays an animated GIF into a window on a thread of its own: frames are
// composed on a canvas of the logical screen size, which the thread copies to
// the window after each frame and painting copies on WM_PAINT.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "runtime/owned.h"
#include "ui/units/picture/decoded_image.h"

namespace ui {

// Canvas pixels are 0x00RRGGBB words, rows top-down.
using GifCanvas = std::vector<uint32_t>;

// Puts a frame on the canvas at its offset; pixels of the transparent index
// and parts outside the canvas are left alone.
void ComposeGifFrame(GifCanvas& canvas, uint32_t canvasWidth, uint32_t canvasHeight,
                     const GifFrame& frame);

class GifAnimator {
  public:
    GifAnimator() = default;
    ~GifAnimator() { Stop(); }
    GifAnimator(const GifAnimator&) = delete;
    GifAnimator& operator=(const GifAnimator&) = delete;

    // Starts the thread. The animation is borrowed: it must stay unchanged
    // until Stop has returned.
    bool Start(HWND window, const GifAnimation& animation, COLORREF background,
               uint32_t displayMode);
    // Asks the thread to stop and waits until it has released its device
    // contexts and ended; does nothing when none runs.
    void Stop();
    bool running() const { return static_cast<bool>(thread_); }

    void SetDisplayMode(uint32_t displayMode) { displayMode_ = displayMode; }
    // Where the canvas goes in a client area.
    RECT CanvasRect(const RECT& client) const;
    // Copies the current canvas into a paint DC.
    void DrawCanvas(HDC dc, const RECT& client);

  private:
    enum State : int { kStopped, kRunning, kStopRequested };

    // Shared with painting: whoever holds it may touch the canvas.
    class BusyFlag {
      public:
        explicit BusyFlag(std::atomic_flag& flag);
        ~BusyFlag() { flag_.clear(std::memory_order_release); }
        BusyFlag(const BusyFlag&) = delete;
        BusyFlag& operator=(const BusyFlag&) = delete;

      private:
        std::atomic_flag& flag_;
    };

    static DWORD WINAPI ThreadMain(void* animator);
    void Play();
    // False when a stop was asked for meanwhile.
    bool Wait(uint32_t milliseconds) const;
    void CopyToWindow();
    void CopyCanvas(HDC dc, const RECT& client);
    void FillRect(GifCanvas& canvas, const GifFrame& frame, uint32_t colour) const;

    HWND window_ = nullptr;
    const GifAnimation* animation_ = nullptr;
    uint32_t background_ = 0;  // as a canvas pixel
    std::atomic<uint32_t> displayMode_{0};
    std::atomic<int> state_{kStopped};
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
    GifCanvas canvas_;  // written by the thread only, holding the busy flag
    runtime::UniqueHandle thread_;
};

}  // namespace ui
