// The support libraries of the application, attached at start-up in the order
// of its header's library table and told when the program ends.
#pragma once

#include <cstdint>

#include "runtime/app_header.h"

namespace runtime {

// Hands every library the runtime's callback, then keeps the table.
void AttachLibraries(const AppHeader& header);
// Sends every library its end notification and forgets them.
void EndLibraries();

// NotifyRuntime codes 4 and 5: a notification for the library named by
// number, with its data word when asked; 0 for a library that is not there.
uint32_t ForwardToLibrary(int32_t libraryNumber, int32_t code, uint32_t argument, bool withData);

// A support library's requests to the runtime arrive here (codes in
// library_callback); the callback is handed to every library at start-up.
uint32_t LibraryCallback(int32_t code, uint32_t arg1, uint32_t arg2);

}  // namespace runtime
