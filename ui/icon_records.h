// The icons windows show, made from their icon bytes once per distinct file
// and kept for the program's life: a window loaded again, or rebuilt, finds
// its icon here. The runtime releases them when the program ends.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The icon of an icon file's bytes; null when they are no icon file.
HICON IconRecordFor(const std::string& iconFile);
void ReleaseIconRecords();

}  // namespace ui
