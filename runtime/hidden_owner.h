// The hidden owner window of class _ZV_HideOwner: it owns the windows that
// must not appear in the taskbar, and carries end requests from other threads
// to the main thread.
#pragma once

#include <windows.h>

namespace runtime {

constexpr UINT kEndProgramMessage = 0x83E7;  // wParam: exit code

void CreateHiddenOwner();
// The one made at start-up; null before.
HWND HiddenOwner();

}  // namespace runtime
