#include "app/picture_prefix.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/owned.h"

namespace app {

namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr size_t kPacketSize = 188;
constexpr size_t kPacketsInARow = 3;

struct Signature {
    const char* bytes;
    size_t size;
};

constexpr Signature kPictureSignatures[] = {
    {"\x89PNG\r\n\x1a\n", 8},
    {"\xff\xd8\xff", 3},  // JPEG
    {"GIF87a", 6},
    {"GIF89a", 6},
    {"BM", 2},
};

bool BeginsWithPicture(const uint8_t* data, size_t size) {
    for (const Signature& signature : kPictureSignatures) {
        if (size >= signature.size && std::memcmp(data, signature.bytes, signature.size) == 0)
            return true;
    }
    return false;
}

bool ReadFileBytes(HANDLE file, std::vector<uint8_t>* bytes) {
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > MAXDWORD) return false;
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes->empty() ||
           (::ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
            read == bytes->size());
}

}  // namespace

size_t PicturePrefixLength(const uint8_t* data, size_t size) {
    if (!BeginsWithPicture(data, size)) return 0;
    const size_t span = (kPacketsInARow - 1) * kPacketSize;
    for (size_t offset = 1; offset + span < size; ++offset) {
        bool packets = true;
        for (size_t step = 0; step <= span && packets; step += kPacketSize)
            packets = data[offset + step] == kSyncByte;
        if (packets) return offset;
    }
    return 0;
}

bool RemovePicturePrefix(const std::string& path) {
    std::vector<uint8_t> bytes;
    {
        const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                       nullptr, OPEN_EXISTING, 0, nullptr));
        uint8_t head[8];
        DWORD read = 0;
        if (!file || !::ReadFile(file.get(), head, sizeof head, &read, nullptr) ||
            !BeginsWithPicture(head, read) ||
            ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) ||
            !ReadFileBytes(file.get(), &bytes)) {
            return false;
        }
    }
    const size_t prefix = PicturePrefixLength(bytes.data(), bytes.size());
    if (prefix == 0) return false;
    const auto rest = static_cast<DWORD>(bytes.size() - prefix);
    DWORD written = 0;
    bool whole = false;
    {
        const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                       nullptr));
        whole = file && ::WriteFile(file.get(), bytes.data() + prefix, rest, &written, nullptr) &&
                written == rest;
    }
    // A segment cut short must not pass its check: without a file it is fetched again.
    if (!whole) ::DeleteFileA(path.c_str());
    return whole;
}

}  // namespace app
