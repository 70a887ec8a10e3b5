// Icon and cursor files (ICO, CUR): the entry to show made into an icon
// handle. Pictures of units and the icons of windows are both read here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/owned.h"

namespace ui {

inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
using UniqueIcon = runtime::Owned<runtime::NullEmptyTraits<HICON, &DestroyIconHandle>>;

struct IconFromFile {
    UniqueIcon icon;  // none when the file is no icon file or its entry is unusable
    int32_t width = 0;
    int32_t height = 0;
    bool cursor = false;  // a directory of type 2
};

// The first entry 32 pixels wide with more than 15 colours, else the last.
IconFromFile CreateIconFromFile(const uint8_t* data, size_t length);

}  // namespace ui
