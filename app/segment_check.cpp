#include "app/segment_check.h"

#include <windows.h>

#include "app/data/app_image.h"
#include "app/mp4_box.h"
#include "runtime/owned.h"

namespace app {

namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr size_t kPacketSize = 188;

// Packed audio opens with an ID3 tag that carries its timestamp.
bool IsPackedAudio(const uint8_t* head, size_t headSize) {
    return headSize >= 3 && head[0] == 'I' && head[1] == 'D' && head[2] == '3';
}

bool IsTransportStream(const uint8_t* head, size_t headSize, uint64_t totalSize) {
    return head[0] == kSyncByte &&
           (totalSize <= kPacketSize || (headSize > kPacketSize && head[kPacketSize] == kSyncByte));
}

// A box header that fits the file, with four printable type characters.
bool IsMp4Box(const uint8_t* head, size_t headSize, uint64_t totalSize) {
    BoxHeader box;
    if (!ReadBoxHeader(head, headSize, totalSize, &box)) return false;
    for (size_t i = 4; i < 8; ++i) {
        if (head[i] < 0x20 || head[i] > 0x7E) return false;
    }
    return true;
}

bool LooksLikeWebPage(const uint8_t* head, size_t headSize) {
    for (size_t i = 0; i < headSize; ++i) {
        if (head[i] == '<') return true;
        if (head[i] != ' ' && head[i] != '\t' && head[i] != '\r' && head[i] != '\n') return false;
    }
    return false;
}

}  // namespace

std::string ContentProblem(const uint8_t* head, size_t headSize, uint64_t totalSize,
                           SegmentKind kind) {
    const ConstantTexts& k = Constants();
    if (totalSize == 0 || headSize == 0) return k.contentEmpty;
    if (kind == SegmentKind::kFragment) {
        if (IsMp4Box(head, headSize, totalSize)) return {};
        return LooksLikeWebPage(head, headSize) ? k.contentWebPage : k.contentNotMp4;
    }
    if (IsPackedAudio(head, headSize) || IsMp4Box(head, headSize, totalSize)) return {};
    if (!IsTransportStream(head, headSize, totalSize))
        return LooksLikeWebPage(head, headSize) ? k.contentWebPage : k.contentNotTs;
    // A body cut mid-packet, as a chunked answer closed before its last chunk
    // is, looks whole to the transfer: only its length tells.
    return totalSize % kPacketSize == 0 ? std::string() : std::string(k.contentCutTs);
}

std::string FileContentProblem(const std::string& path, SegmentKind kind) {
    const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    uint8_t head[kCheckedBytes];
    DWORD read = 0;
    if (!file || !::GetFileSizeEx(file.get(), &size) ||
        !::ReadFile(file.get(), head, sizeof head, &read, nullptr)) {
        return Constants().contentUnreadable;
    }
    return ContentProblem(head, read, static_cast<uint64_t>(size.QuadPart), kind);
}

}  // namespace app
