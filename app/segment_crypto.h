// AES-128 segments decrypted with the system's AES provider: CBC with
// PKCS#7 padding, the key and IV as the playlist gives them.
#pragma once

#include <cstdint>
#include <string>

namespace app {

constexpr size_t kAesKeySize = 16;

// Replaces the file's bytes by their decryption; false, with the file left
// as it was, when the provider refuses them (a wrong key or IV shows as bad
// padding).
bool DecryptFileInPlace(const std::string& path, const std::string& key, const uint8_t (&iv)[16]);

}  // namespace app
