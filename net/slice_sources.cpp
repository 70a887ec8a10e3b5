#include "net/slice_sources.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "net/transfer_stop.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"

namespace net {

namespace {

constexpr DWORD kCopyPiece = 1 << 20;
constexpr char kWholeFileName[] = "whole";
constexpr char kWholeFileExtension[] = ".bin";

GetOutcome SystemFailure(std::string* failure) {
    *failure = runtime::SystemErrorText(::GetLastError());
    return GetOutcome::kFailed;
}

}  // namespace

SliceSources::SliceSources(std::string directory) : directory_(std::move(directory)) {}

SliceSources::Source& SliceSources::SourceOf(const std::string& address) {
    const std::lock_guard<std::mutex> lock(tableLock_);
    std::unique_ptr<Source>& source = sources_[address];
    if (!source) source = std::make_unique<Source>();
    return *source;
}

GetOutcome SliceSources::Fetch(const std::string& address, const ByteRange& range,
                               const std::string& file, const RangedGet& get,
                               std::string* failure) {
    Source& source = SourceOf(address);
    std::unique_lock<std::mutex> finding(source.lock);
    if (source.answers == Source::Answers::kWholeResource) {
        finding.unlock();
        return CopySlice(source.wholeFile, range, file, failure);
    }
    if (source.answers == Source::Answers::kSlices) finding.unlock();

    bool wholeResource = false;
    const GetOutcome outcome = get(&wholeResource);
    if (outcome != GetOutcome::kArrived) return outcome;
    if (!wholeResource) {
        if (finding.owns_lock()) source.answers = Source::Answers::kSlices;
        return outcome;
    }
    if (!finding.owns_lock()) finding.lock();
    if (source.answers == Source::Answers::kWholeResource) {
        ::DeleteFileA(file.c_str());  // another request kept the same resource meanwhile
    } else {
        std::string wholeFile;
        {
            const std::lock_guard<std::mutex> lock(tableLock_);
            wholeFile =
                directory_ + kWholeFileName + std::to_string(++wholeFiles_) + kWholeFileExtension;
        }
        if (!::MoveFileExA(file.c_str(), wholeFile.c_str(), MOVEFILE_REPLACE_EXISTING))
            return SystemFailure(failure);
        source.wholeFile = wholeFile;
        source.answers = Source::Answers::kWholeResource;
    }
    finding.unlock();
    return CopySlice(source.wholeFile, range, file, failure);
}

GetOutcome CopySlice(const std::string& from, const ByteRange& range, const std::string& file,
                     std::string* failure) {
    const runtime::UniqueHandle source(::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!source || !::GetFileSizeEx(source.get(), &size)) return SystemFailure(failure);
    if (static_cast<uint64_t>(size.QuadPart) < range.end()) {
        *failure = "文件只有 " + std::to_string(size.QuadPart) + " 字节，没有所要的范围 " +
                   RangeRequestValue(range) + "。";
        return GetOutcome::kFailed;
    }
    LARGE_INTEGER offset = {};
    offset.QuadPart = static_cast<LONGLONG>(range.offset);
    if (!::SetFilePointerEx(source.get(), offset, nullptr, FILE_BEGIN))
        return SystemFailure(failure);
    const runtime::UniqueHandle slice(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!slice) return SystemFailure(failure);
    std::vector<char> piece(kCopyPiece);
    for (uint64_t left = range.length; left > 0;) {
        if (TransfersStopped()) {
            *failure = kStoppedFailure;
            return GetOutcome::kFailed;
        }
        const DWORD wanted = left < kCopyPiece ? static_cast<DWORD>(left) : kCopyPiece;
        DWORD read = 0, written = 0;
        if (!::ReadFile(source.get(), piece.data(), wanted, &read, nullptr) || read != wanted ||
            !::WriteFile(slice.get(), piece.data(), read, &written, nullptr) || written != read) {
            return SystemFailure(failure);
        }
        left -= read;
    }
    return GetOutcome::kArrived;
}

}  // namespace net
