// The address "解析" reads from the address box: typed, dropped, or taken
// from a request a browser copied as a cURL command, whose headers then go
// on every request (net/request_headers.h) until "解析" reads the box again:
// while it holds the command they hold, and a plain address goes without.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// The box's address in `address`. A cURL command is read and logged: the
// address, the headers' names (never a value: it may be a login) and what is
// left aside. False, with a line that says why, when the box holds a command
// that cannot be read.
bool AddressToRead(std::string* address);

// Makes a pasted cURL command arrive whole in the one-line address box,
// where Windows keeps only the first line of a paste.
void KeepPastedCommandsWhole(HWND addressBox);

}  // namespace app
