#include "app/segment_crypto.h"

#include <windows.h>

#include <wincrypt.h>

#include <cstring>
#include <vector>

#include "app/calls.h"
#include "app/crypt_handles.h"
#include "app/declared_calls.h"
#include "app/owned_values.h"
#include "runtime/file_commands.h"
#include "runtime/memory.h"
#include "runtime/values.h"

namespace app {

namespace {

// What CryptImportKey takes for a raw AES-128 key.
struct PlainKeyBlob {
    BLOBHEADER header;
    DWORD size;
    BYTE key[kAesKeySize];
};

}  // namespace

bool DecryptFileInPlace(const std::string& path, const std::string& key, const uint8_t (&iv)[16]) {
    if (key.size() != kAesKeySize) return false;
    CryptContext provider;
    if (!CallDeclared(kCryptAcquireContextA, provider.Put(), nullptr, nullptr, PROV_RSA_AES,
                      CRYPT_VERIFYCONTEXT)) {
        return false;
    }
    PlainKeyBlob blob{{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_AES_128}, kAesKeySize, {}};
    std::memcpy(blob.key, key.data(), kAesKeySize);
    CryptKey aes;
    if (!CallDeclared(kCryptImportKey, provider.get(), &blob, static_cast<uint32_t>(sizeof blob), 0,
                      0, aes.Put()) ||
        !CallDeclared(kCryptSetKeyParam, aes.get(), KP_IV, iv, 0)) {
        return false;
    }

    const runtime::ArgRecord read[] = {TextArg(path.c_str())};
    const OwnedByteSet bytes(reinterpret_cast<void*>(CallCore(runtime::ReadWholeFile, read).low));
    if (!bytes) return false;
    const uint8_t* stored = runtime::ByteSetData(bytes.get());
    std::vector<uint8_t> data(stored, stored + runtime::ByteSetLength(bytes.get()));
    auto length = static_cast<uint32_t>(data.size());
    // The final block's padding is checked and taken off.
    if (!CallDeclared(kCryptDecrypt, aes.get(), 0, TRUE, 0, data.data(), &length)) return false;
    const OwnedByteSet plain(runtime::NewByteSet(data.data(), length));
    const runtime::ArgRecord write[] = {TextArg(path.c_str()), ByteSetArg(plain.get())};
    return CallCore(runtime::WriteWholeFile, write).low != 0;
}

}  // namespace app
