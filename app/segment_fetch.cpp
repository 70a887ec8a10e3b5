#include "app/segment_fetch.h"

#include <windows.h>

#include <algorithm>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/job_wait.h"
#include "app/log.h"
#include "app/owned_values.h"
#include "app/picture_prefix.h"
#include "app/segment_crypto.h"
#include "app/text_search.h"
#include "net/body_fetch.h"
#include "runtime/file_commands.h"
#include "runtime/system_error_text.h"
#include "runtime/values.h"

namespace app {

namespace {

// A key is 16 bytes: a body much larger is no key, and is not read on.
constexpr int32_t kLargestKey = 1024;

struct ReadResult {
    std::string bytes;
    std::string failure;
};

std::string LastErrorText() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    return OwnedText(CallCoreCommand(runtime::LastErrorText, 0, none)).c_str();
}

// The bytes of a local file (a key a dropped playlist names), and why none came.
ReadResult ReadLocalFile(const std::string& path) {
    ReadResult read;
    const runtime::ArgRecord args[] = {TextArg(path.c_str()), IntegerArg(kLargestKey)};
    const OwnedByteSet bytes(reinterpret_cast<void*>(CallCore(runtime::ReadWholeFile, args).low));
    if (bytes) {
        read.bytes.assign(reinterpret_cast<const char*>(runtime::ByteSetData(bytes.get())),
                          runtime::ByteSetLength(bytes.get()));
    } else if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // A file that is there but empty is a key of the wrong length, not a failure to read.
        read.failure = LastErrorText();
    }
    return read;
}

}  // namespace

KeyRing::KeyRing(const JobPlan& plan) : addresses_(plan.keyAddresses) {
    std::vector<std::string> wanted;
    for (const PlannedSegment& segment : plan.segments) {
        const int index = segment.cipher.keyIndex;
        if (index >= 0 &&
            std::find(wanted.begin(), wanted.end(), addresses_[index]) == wanted.end())
            wanted.push_back(addresses_[index]);
    }
    std::vector<std::string> web;
    for (const std::string& address : wanted) {
        if (StartsWith(address.c_str(), Constants().httpPrefix)) web.push_back(address);
    }
    const std::vector<net::FetchedBody> fetched = net::FetchBodies(web, kLargestKey, WhileJobWaits);
    if (JobStopping()) return;                // a key that failed for the stop is no news
    std::map<std::string, ReadResult> reads;  // by address
    for (size_t i = 0; i < web.size(); ++i)
        reads.emplace(web[i], ReadResult{fetched[i].bytes, fetched[i].failure});
    for (const std::string& address : wanted) {
        const auto found = reads.find(address);
        const ReadResult read = found != reads.end() ? found->second : ReadLocalFile(address);
        const ConstantTexts& k = Constants();
        if (read.failure.empty() && read.bytes.size() == kAesKeySize) {
            keys_.emplace(address, read.bytes);
            Log(k.logKeyRead + address + k.lineBreak);
        } else if (!read.failure.empty()) {
            Log(k.logKeyUnreadable + read.failure + k.logKeyUnreadableEnd + address + k.lineBreak);
        } else {
            Log(k.logKeyFailed + address + k.lineBreak);
        }
    }
}

const std::string* KeyRing::Find(int index) const {
    const auto found = keys_.find(addresses_[index]);
    return found == keys_.end() ? nullptr : &found->second;
}

bool CanDecrypt(const SegmentCipher& cipher, const KeyRing& keys) {
    return cipher.keyIndex < 0 || (cipher.ivValid && keys.Find(cipher.keyIndex));
}

std::string SegmentProblem(const std::string& file, SegmentKind kind, bool* hadPicture) {
    if (kind == SegmentKind::kStandalone && RemovePicturePrefix(file) && hadPicture)
        *hadPicture = true;
    return FileContentProblem(file, kind);
}

net::ContentCheck ArrivalCheck(const SegmentCipher& cipher, SegmentKind kind, bool* hadPicture) {
    if (cipher.keyIndex >= 0) return {};
    return [kind, hadPicture](const std::string& file) {
        return SegmentProblem(file, kind, hadPicture);
    };
}

bool TakeSegment(net::SegmentPool& pool, size_t index, const std::string& file,
                 const SegmentCipher& cipher, SegmentKind kind, const KeyRing& keys,
                 bool* hadPicture, std::string* failure) {
    const ConstantTexts& k = Constants();
    if (cipher.keyIndex >= 0 && !keys.Find(cipher.keyIndex)) {
        *failure = k.failureNoKey;
        return false;
    }
    if (!cipher.ivValid) {
        *failure = k.failureBadIv;
        return false;
    }
    if (!pool.Arrived(index, WhileJobWaits)) {
        *failure = pool.FailureOf(index);
        return false;
    }
    if (cipher.keyIndex < 0) return true;
    // A wrong key or IV may still give bytes with good padding: only their
    // look tells them from the stream.
    if (!DecryptFileInPlace(file, *keys.Find(cipher.keyIndex), cipher.iv)) {
        *failure = k.failureDecryption;
        return false;
    }
    const std::string problem = SegmentProblem(file, kind, hadPicture);
    if (problem.empty()) return true;
    *failure = k.failureDecryptedOpen + problem + k.failureDecryptedEnd;
    return false;
}

}  // namespace app
