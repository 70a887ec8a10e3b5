// The runtime's window table, read from the program's template segment at
// start-up and kept for the whole run.
#pragma once

#include "runtime/app_header.h"

namespace ui {

// Reads and relocates the templates the header points at; an unreadable
// segment is a run-time error. A segment of length 0 means no templates.
void ReadWindowTemplates(const runtime::AppHeader& header);

}  // namespace ui
