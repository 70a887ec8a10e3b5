// GDI objects and device contexts, owned through runtime::Owned, and the two
// brackets of drawing: an object selected into a DC, and a paint.
#pragma once

#include <windows.h>

#include <utility>

#include "runtime/owned.h"

namespace ui {

template <typename Object>
void DeleteGdiObject(Object object) {
    ::DeleteObject(object);
}

template <typename Object>
using UniqueGdiObject = runtime::Owned<runtime::NullEmptyTraits<Object, &DeleteGdiObject<Object>>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using BorrowedFont = runtime::Borrowed<UniqueFont::Traits>;

inline void DeleteMemoryDC(HDC dc) { ::DeleteDC(dc); }
// A memory DC, as CreateCompatibleDC makes one.
using UniqueMemoryDC = runtime::Owned<runtime::NullEmptyTraits<HDC, &DeleteMemoryDC>>;

// A window's DC from GetDC: releasing it needs the window too.
struct WindowDC {
    HWND window;
    HDC dc;
};
struct WindowDCTraits {
    using Handle = WindowDC;
    static Handle Empty() { return {nullptr, nullptr}; }
    static bool IsValid(const Handle& handle) { return handle.dc != nullptr; }
    static void Close(const Handle& handle) { ::ReleaseDC(handle.window, handle.dc); }
};
using UniqueWindowDC = runtime::Owned<WindowDCTraits>;
// The DC of a window (the screen's for null).
inline UniqueWindowDC DCOfWindow(HWND window) { return UniqueWindowDC({window, ::GetDC(window)}); }

// Selects an object into a DC for one scope.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect() { ::SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND window) : window_(window) { ::BeginPaint(window, &paint_); }
    ~ScopedPaint() { ::EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return paint_.hdc; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

}  // namespace ui
