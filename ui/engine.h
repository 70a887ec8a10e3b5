// The window engine's door into the runtime: the library that carries the
// engine's unit types attaches it, and from then on the runtime's window
// services, message loops and library callbacks lead here.
#pragma once

namespace ui {

void AttachEngine();

}  // namespace ui
