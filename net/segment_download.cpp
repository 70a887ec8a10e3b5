#include "net/segment_download.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "net/http_get.h"
#include "net/transfer_limits.h"
#include "runtime/owned.h"

namespace net {

namespace {

// The body written to the segment's file. The file is made with the first
// piece, so a GET that never gets that far leaves no file behind.
class FileSink : public BodySink {
  public:
    explicit FileSink(std::string path) : path_(std::move(path)) {}
    bool Keep(const char* data, uint32_t size) override {
        DWORD written = 0;
        return Open() && ::WriteFile(file_.get(), data, size, &written, nullptr) && written == size;
    }
    // Makes the file unless it is made; false when it cannot be.
    bool Open() {
        if (!file_) {
            file_.Reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        }
        return static_cast<bool>(file_);
    }

  private:
    const std::string path_;
    runtime::UniqueHandle file_;
};

bool IsWebAddress(const std::string& address) {
    return ::_strnicmp(address.c_str(), "http://", 7) == 0 ||
           ::_strnicmp(address.c_str(), "https://", 8) == 0;
}

GetOutcome TryOnce(const std::string& address, const std::string& file) {
    if (!IsWebAddress(address)) {
        return ::CopyFileA(address.c_str(), file.c_str(), FALSE) ? GetOutcome::kArrived
                                                                 : GetOutcome::kFailed;
    }
    const HttpGetReference get(
        new HttpGet(address, HttpVersion::k11, std::make_unique<FileSink>(file)));
    std::string failure;
    const GetOutcome outcome = HttpGet::RunWatched(*get.get(), &failure);
    // An empty body wrote no piece: its segment is an empty file.
    if (outcome == GetOutcome::kArrived && !static_cast<FileSink&>(get->sink()).Open())
        return GetOutcome::kFailed;
    return outcome;
}

}  // namespace

bool DownloadSegment(const std::string& address, const std::string& file) {
    for (int attempt = 1;; ++attempt) {
        const GetOutcome outcome = TryOnce(address, file);
        if (outcome == GetOutcome::kArrived) return true;
        // What a failed try left is an error page's or part of a body: no segment.
        ::DeleteFileA(file.c_str());
        if (outcome == GetOutcome::kRedirectLoop || attempt == kSegmentTries) return false;
        ::Sleep(kRetryPauseMs);
    }
}

}  // namespace net
