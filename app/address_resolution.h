// Addresses named relative to another, resolved as RFC 3986 section 5.2
// says: variant playlists against their master, keys against their playlist.
// A local path is resolved the same way, its backslashes read as slashes.
#pragma once

#include <string>

namespace app {

// The target of `reference` seen from `base` (RFC 3986 5.2.2, strict).
std::string ResolveReference(const std::string& base, const std::string& reference);

// A reference seen from a local file's path ("C:\dir\list.m3u8"): a local
// path with backslashes; an address with its own scheme stays as it is.
std::string ResolveAgainstFile(const std::string& filePath, const std::string& reference);

}  // namespace app
