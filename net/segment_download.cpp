#include "net/segment_download.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "net/http_get.h"
#include "net/server_pace.h"
#include "net/transfer_limits.h"
#include "net/transfer_stop.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"

namespace net {

namespace {

// The body written to the segment's file. The file is made with the first
// piece, so a GET that never gets that far leaves no file behind.
class FileSink : public BodySink {
  public:
    explicit FileSink(std::string path) : path_(std::move(path)) {}
    bool Keep(const char* data, uint32_t size) override {
        if (!file_) {
            file_.Reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        }
        DWORD written = 0;
        if (!file_ || !::WriteFile(file_.get(), data, size, &written, nullptr) || written != size)
            return false;
        wrote_ = true;
        return true;
    }
    // Closed before anyone waits, so that a check may read the file and a
    // failed try remove it.
    void Finish() override { file_.Reset(); }
    // Whether a piece came.
    bool wrote() const { return wrote_; }

  private:
    const std::string path_;
    runtime::UniqueHandle file_;
    bool wrote_ = false;
};

bool IsWebAddress(const std::string& address) {
    return ::_strnicmp(address.c_str(), "http://", 7) == 0 ||
           ::_strnicmp(address.c_str(), "https://", 8) == 0;
}

// Asked between the copy's chunks, so that a stop does not wait for a large file.
DWORD __stdcall GoOnCopying(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                            DWORD, HANDLE, HANDLE, void*) {
    return TransfersStopped() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

GetOutcome Copy(const std::string& from, const std::string& file, std::string* failure) {
    if (::CopyFileExA(from.c_str(), file.c_str(), GoOnCopying, nullptr, nullptr, 0))
        return GetOutcome::kArrived;
    *failure = runtime::SystemErrorText(::GetLastError());
    return GetOutcome::kFailed;
}

// How one try ended, and the wait a busy server asked for.
struct TryEnd {
    GetOutcome outcome = GetOutcome::kFailed;
    std::optional<uint32_t> retryAfterMs;
};

GetOutcome GetInto(const std::string& address, const std::string& file,
                   const std::optional<ByteRange>& range, bool* wholeResource,
                   std::optional<uint32_t>* retryAfterMs, std::string* failure) {
    const HttpGetReference get(
        new HttpGet(address, HttpVersion::k11, std::make_unique<FileSink>(file)));
    if (range) get->AskForRange(*range);
    const GetOutcome outcome = HttpGet::RunWatched(*get.get(), failure);
    *retryAfterMs = get->retryAfterMs();
    if (outcome != GetOutcome::kArrived) return outcome;
    if (!static_cast<FileSink&>(get->sink()).wrote()) {
        *failure = "服务器返回的正文是空的。";
        return GetOutcome::kFailed;
    }
    *wholeResource = get->gotWholeResource();
    return outcome;
}

TryEnd TryOnce(const SegmentDownload& download, SliceSources& slices, std::string* failure) {
    const std::string& file = download.file;
    TryEnd end;
    if (!IsWebAddress(download.address)) {
        end.outcome = download.range ? CopySlice(download.address, *download.range, file, failure)
                                     : Copy(download.address, file, failure);
    } else if (!download.range) {
        bool wholeResource = false;
        end.outcome =
            GetInto(download.address, file, {}, &wholeResource, &end.retryAfterMs, failure);
    } else {
        end.outcome = slices.Fetch(
            download.address, *download.range, file,
            [&](bool* wholeResource) {
                return GetInto(download.address, file, download.range, wholeResource,
                               &end.retryAfterMs, failure);
            },
            failure);
    }
    return end;
}

// One try in its turn among the tries to its server; `again` says whether
// the server's busy answer lets the try be made once more without counting.
GetOutcome TryInTurn(const SegmentDownload& download, SliceSources& slices, ServerPace& pace,
                     bool mayWaitForBusy, bool* again, std::string* failure) {
    *again = false;
    std::optional<ServerPace::Turn> turn = pace.Take(download.address);
    if (!turn) return GetOutcome::kFailed;  // stopped
    TryEnd end = TryOnce(download, slices, failure);
    switch (end.outcome) {
        case GetOutcome::kBusy:
            *again = turn->Busy(end.retryAfterMs) && mayWaitForBusy;
            break;
        case GetOutcome::kUnanswered:
            turn->Refused();
            break;
        case GetOutcome::kArrived:
            turn->Arrived();
            break;
        case GetOutcome::kFailed:
        case GetOutcome::kRedirectLoop:
            break;
    }
    return end.outcome;
}

}  // namespace

bool DownloadSegment(const SegmentDownload& download, SliceSources& slices, ServerPace& pace,
                     std::string* failure) {
    int busyAnswers = 0;
    for (int attempt = 1;;) {
        failure->clear();
        if (TransfersStopped()) return false;
        bool again = false;
        GetOutcome outcome =
            TryInTurn(download, slices, pace, busyAnswers < kBusyTries, &again, failure);
        if (outcome == GetOutcome::kArrived && download.check) {
            *failure = download.check(download.file);
            if (!failure->empty()) outcome = GetOutcome::kFailed;
        }
        if (outcome == GetOutcome::kArrived) return true;
        // What a failed try left is an error page's or part of a body: no segment.
        ::DeleteFileA(download.file.c_str());
        if (again) {
            ++busyAnswers;  // its pause is the server's, in its turn
            continue;
        }
        if (outcome == GetOutcome::kRedirectLoop || attempt == kSegmentTries || TransfersStopped())
            return false;
        ++attempt;
        ::Sleep(kRetryPauseMs);
    }
}

}  // namespace net
