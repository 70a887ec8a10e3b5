// CryptoAPI handles as the declared calls pass them: 32-bit words, let go
// through the declared calls too.
#pragma once

#include <cstdint>

#include "app/calls.h"
#include "app/declared_calls.h"
#include "runtime/owned.h"

namespace app {

inline void ReleaseCryptContext(uint32_t provider) {
    CallDeclared(kCryptReleaseContext, provider, 0);
}
inline void DestroyCryptHash(uint32_t hash) { CallDeclared(kCryptDestroyHash, hash); }
inline void DestroyCryptKey(uint32_t key) { CallDeclared(kCryptDestroyKey, key); }

using CryptContext = runtime::Owned<runtime::NullEmptyTraits<uint32_t, &ReleaseCryptContext>>;
using CryptHash = runtime::Owned<runtime::NullEmptyTraits<uint32_t, &DestroyCryptHash>>;
using CryptKey = runtime::Owned<runtime::NullEmptyTraits<uint32_t, &DestroyCryptKey>>;

}  // namespace app
