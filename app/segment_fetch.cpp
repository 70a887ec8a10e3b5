#include "app/segment_fetch.h"

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/owned_values.h"
#include "app/segment_crypto.h"
#include "app/text_search.h"
#include "net/http_reader.h"
#include "runtime/file_commands.h"
#include "runtime/values.h"

namespace app {

namespace {

// The bytes at an address, or of a local file (a dropped playlist's names).
std::string ReadBytes(const std::string& address) {
    const runtime::ArgRecord args[] = {TextArg(address.c_str())};
    const runtime::ArgRecord result =
        StartsWith(address.c_str(), Constants().httpPrefix)
            ? CallLibraryCommand(ListIndex(kInternetLibrary), net::FetchUrl, 1, args)
            : CallCore(runtime::ReadWholeFile, args);
    const OwnedByteSet bytes(reinterpret_cast<void*>(result.low));
    const auto* data = reinterpret_cast<const char*>(runtime::ByteSetData(bytes.get()));
    return std::string(data ? data : "", runtime::ByteSetLength(bytes.get()));
}

}  // namespace

KeyRing::KeyRing(const StreamPlan& plan) : addresses_(plan.keyAddresses) {
    for (const SegmentCipher& cipher : plan.segments) {
        if (cipher.keyIndex < 0) continue;
        const std::string& address = addresses_[cipher.keyIndex];
        if (!keys_.count(address)) keys_.emplace(address, ReadBytes(address));
    }
}

const std::string* KeyRing::Find(int index) const {
    const auto found = keys_.find(addresses_[index]);
    // A key no segment is encrypted with was never read.
    if (found == keys_.end()) return nullptr;
    const std::string& key = found->second;
    return key.size() == kAesKeySize ? &key : nullptr;
}

const std::string* KeyRing::KeyFor(int index) {
    const std::string* key = Find(index);
    const std::string& address = addresses_[index];
    if (!key && reported_.insert(address).second) {
        const ConstantTexts& k = Constants();
        Log(k.logKeyFailed + address + k.lineBreak);
    }
    return key;
}

bool CanDecrypt(const SegmentCipher* cipher, const KeyRing& keys) {
    return !cipher || cipher->keyIndex < 0 || (cipher->ivValid && keys.Find(cipher->keyIndex));
}

bool TakeSegment(SegmentPool& pool, size_t index, const std::string& file,
                 const SegmentCipher* cipher, KeyRing& keys) {
    if (!cipher || cipher->keyIndex < 0) return pool.Arrived(index);
    const std::string* key = keys.KeyFor(cipher->keyIndex);
    return key && cipher->ivValid && pool.Arrived(index) &&
           DecryptFileInPlace(file, *key, cipher->iv);
}

}  // namespace app
