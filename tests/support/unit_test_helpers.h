// Helpers the unit tests share: a parent window that reflects notifications,
// a 32-bit bitmap to render units into and read back, and font records.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/unit_support.h"
#include "ui/unit_type.h"

namespace unit_testing {

// A type block as its record writes it, but claiming another version: one
// newer than the type knows, or an older one, without the fields that came
// later (their `laterBytes` bytes at the end).
inline std::vector<uint8_t> AsVersion(std::vector<uint8_t> block, uint32_t version,
                                      size_t laterBytes = 0) {
    std::memcpy(block.data(), &version, sizeof version);
    block.resize(block.size() - laterBytes);
    return block;
}

inline DWORD Style(HWND window) { return static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)); }
inline DWORD ExStyle(HWND window) {
    return static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE));
}

// The window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Routine `number` of a unit type, as the engine would ask its interface routine.
template <typename Routine>
Routine RoutineOf(const ui::UnitTypeDescriptor& type, int32_t number) {
    return reinterpret_cast<Routine>(type.interfaceRoutine(number));
}

// Property `property` of a unit, numbered as in a type's property list with
// the eight every unit has first, set through the type's routine 0; the
// answer is whether the unit must be made again (-1 when not said).
inline int32_t SetProperty(const ui::UnitTypeDescriptor& type, ui::Unit* unit, int32_t property,
                           uint32_t low, uint32_t high = 0) {
    int32_t recreate = -1;
    RoutineOf<ui::SetPropertyRoutine>(type, ui::routine::kSetProperty)(unit, property - 8,
                                                                       {low, high}, &recreate);
    return recreate;
}

// The same property read through the type's routine 1.
inline ui::PropertyValue GetProperty(const ui::UnitTypeDescriptor& type, ui::Unit* unit,
                                     int32_t property) {
    ui::PropertyValue value;
    EXPECT_TRUE(RoutineOf<ui::GetPropertyRoutine>(type, ui::routine::kGetProperty)(
        unit, property - 8, &value))
        << "property " << property;
    return value;
}

// A top-level window that hands its controls' notifications back to their
// units, as the window unit does, and keeps the WM_COMMAND codes a unit took.
class ReflectingParent {
  public:
    ReflectingParent() {
        static const char kClassName[] = "VelmoraUnitTestParent";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassA(&windowClass);  // fails harmlessly once it exists
        window_ = ::CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                    nullptr, windowClass.hInstance, this);
    }
    ~ReflectingParent() { Destroy(); }
    ReflectingParent(const ReflectingParent&) = delete;
    ReflectingParent& operator=(const ReflectingParent&) = delete;

    HWND hwnd() const { return window_; }
    const std::vector<WORD>& handledCommands() const { return handledCommands_; }
    void Destroy() {
        if (window_) ::DestroyWindow(window_);
        window_ = nullptr;
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(
                                    reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self =
            reinterpret_cast<ReflectingParent*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        const bool reflected = message == WM_COMMAND || message == WM_NOTIFY ||
                               (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
        if (self && reflected) {
            bool handled = false;
            const LRESULT result = ui::ReflectToUnit(message, wParam, lParam, &handled);
            if (handled && message == WM_COMMAND) self->handledCommands_.push_back(HIWORD(wParam));
            if (handled) return result;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::vector<WORD> handledCommands_;
};

// Pixels as 0x00RRGGBB words, rows top-down.
class Pixels {
  public:
    Pixels(int width, int height, uint32_t fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        std::fill_n(bits_, width * height, fill);
        dc_ = ::CreateCompatibleDC(nullptr);
        previous_ = ::SelectObject(dc_, bitmap_);
    }
    ~Pixels() {
        ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
        ::DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    // The smallest rectangle holding every pixel of this colour (or, with
    // `other`, of any colour but this one) inside `area`; empty if none.
    RECT BoundsOf(uint32_t colour, bool other = false, RECT area = {0, 0, 0, 0}) const {
        if (::IsRectEmpty(&area)) area = {0, 0, width_, height_};
        RECT bounds{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if ((At(x, y) == colour) == other) continue;
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1),
                          std::max<LONG>(bounds.bottom, y + 1)};
            }
        }
        return ::IsRectEmpty(&bounds) ? RECT{} : bounds;
    }

  private:
    int width_, height_;
    HBITMAP bitmap_;
    uint32_t* bits_;
    HDC dc_;
    HGDIOBJ previous_;
};

// A 60-byte logical-font record of the given height in Tahoma.
inline std::string FontRecord(LONG height) {
    LOGFONTA font{};
    font.lfHeight = height;
    std::strcpy(font.lfFaceName, "Tahoma");
    return std::string(reinterpret_cast<const char*>(&font), sizeof font);
}

}  // namespace unit_testing
