#include "app/segment_fetch.h"

#include <windows.h>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/owned_values.h"
#include "app/segment_crypto.h"
#include "app/text_search.h"
#include "net/http_reader.h"
#include "runtime/file_commands.h"
#include "runtime/system_error_text.h"
#include "runtime/values.h"

namespace app {

namespace {

struct ReadResult {
    std::string bytes;
    std::string failure;
};

std::string LastErrorText() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    return OwnedText(CallCoreCommand(runtime::LastErrorText, 0, none)).c_str();
}

// The bytes at an address, or of a local file (a dropped playlist's names),
// and why none came.
ReadResult ReadBytes(const std::string& address) {
    ReadResult read;
    char* failure = nullptr;
    const runtime::ArgRecord args[] = {
        TextArg(address.c_str()), {reinterpret_cast<uint32_t>(&failure), 0, runtime::tag::kText}};
    const bool web = StartsWith(address.c_str(), Constants().httpPrefix);
    const OwnedByteSet bytes(reinterpret_cast<void*>(
        (web ? CallLibraryCommand(ListIndex(kInternetLibrary), net::FetchUrl, 2, args)
             : CallCoreCommand(runtime::ReadWholeFile, 1, args))
            .low));
    const OwnedText reason(failure);
    if (bytes) {
        read.bytes.assign(reinterpret_cast<const char*>(runtime::ByteSetData(bytes.get())),
                          runtime::ByteSetLength(bytes.get()));
    } else if (web) {
        read.failure = reason.c_str();
    } else if (::GetFileAttributesA(address.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // A file that is there but empty is a key of the wrong length, not a failure to read.
        read.failure = LastErrorText();
    }
    return read;
}

}  // namespace

KeyRing::KeyRing(const JobPlan& plan) : addresses_(plan.keyAddresses) {
    for (const PlannedSegment& segment : plan.segments) {
        if (segment.cipher.keyIndex < 0) continue;
        const std::string& address = addresses_[segment.cipher.keyIndex];
        if (keys_.count(address)) continue;
        ReadResult read = ReadBytes(address);
        keys_.emplace(address, Key{std::move(read.bytes), std::move(read.failure)});
    }
}

const KeyRing::Key* KeyRing::Read(int index) const {
    const auto found = keys_.find(addresses_[index]);
    return found == keys_.end() ? nullptr : &found->second;
}

const std::string* KeyRing::Find(int index) const {
    const Key* key = Read(index);
    return key && key->bytes.size() == kAesKeySize ? &key->bytes : nullptr;
}

const std::string* KeyRing::KeyFor(int index) {
    const std::string* key = Find(index);
    const std::string& address = addresses_[index];
    if (!key && reported_.insert(address).second) {
        const ConstantTexts& k = Constants();
        const Key* read = Read(index);
        if (read && !read->failure.empty()) {
            Log(k.logKeyUnreadable + read->failure + k.logKeyUnreadableEnd + address + k.lineBreak);
        } else {
            Log(k.logKeyFailed + address + k.lineBreak);
        }
    }
    return key;
}

bool CanDecrypt(const SegmentCipher& cipher, const KeyRing& keys) {
    return cipher.keyIndex < 0 || (cipher.ivValid && keys.Find(cipher.keyIndex));
}

bool TakeSegment(net::SegmentPool& pool, size_t index, const std::string& file,
                 const SegmentCipher& cipher, KeyRing& keys) {
    const auto waiting = [] { FlushLogIfDue(); };
    if (cipher.keyIndex < 0) return pool.Arrived(index, waiting);
    const std::string* key = keys.KeyFor(cipher.keyIndex);
    return key && cipher.ivValid && pool.Arrived(index, waiting) &&
           DecryptFileInPlace(file, *key, cipher.iv);
}

}  // namespace app
