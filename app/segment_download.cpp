#include "app/segment_download.h"

#include <windows.h>

#include <urlmon.h>

#include <atomic>
#include <cwchar>
#include <mutex>
#include <string>

#include "app/calls.h"
#include "app/declared_calls.h"
#include "app/log.h"
#include "net/stall_watch.h"
#include "net/transfer_limits.h"
#include "runtime/owned.h"

namespace app {

namespace {

constexpr DWORD kWatchIntervalMs = 250;

constexpr wchar_t kContentLength[] = L"\r\nContent-Length:";
constexpr wchar_t kContentEncoding[] = L"\r\nContent-Encoding:";

}  // namespace

enum class TryOutcome { kArrived, kFailed, kRedirectLoop };

// The status callback of one try. URLDownloadToFileA saves an error page, a
// body cut short, or whatever a redirect loop ends in, and still reports
// success; this object sees the answer and the progress, and aborts a binding
// that redirects too often or stalls. It lives on the caller's stack for one
// synchronous call, so the reference count only has to be honest, not to free.
class SegmentTry : public IBindStatusCallback, public IHttpNegotiate {
  public:
    SegmentTry() = default;
    SegmentTry(const SegmentTry&) = delete;
    SegmentTry& operator=(const SegmentTry&) = delete;

    // Runs the download while the watcher looks at it.
    TryOutcome Run(const char* address, const std::string& file, SegmentWatcher& watcher) {
        watcher.Watch(this);
        const bool called = CallDeclared(kURLDownloadToFileA, 0, address, file.c_str(), 0,
                                         static_cast<IBindStatusCallback*>(this)) == 0;
        watcher.Watch(nullptr);
        if (redirectLoop_) return TryOutcome::kRedirectLoop;
        const bool arrived = called && responseCode_ < 400 && !aborted_ && HoldsWholeBody(file);
        return arrived ? TryOutcome::kArrived : TryOutcome::kFailed;
    }

    // IUnknown
    HRESULT __stdcall QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
            *object = static_cast<IBindStatusCallback*>(this);
        } else if (riid == IID_IHttpNegotiate) {
            *object = static_cast<IHttpNegotiate*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG __stdcall AddRef() override { return ++references_; }
    ULONG __stdcall Release() override { return --references_; }

    // IBindStatusCallback
    HRESULT __stdcall OnStartBinding(DWORD, IBinding* binding) override {
        const std::lock_guard<std::mutex> lock(bindingLock_);
        binding->AddRef();
        binding_.Reset(binding);
        return S_OK;
    }
    HRESULT __stdcall GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT __stdcall OnLowResource(DWORD) override { return S_OK; }
    HRESULT __stdcall OnProgress(ULONG progress, ULONG, ULONG status, LPCWSTR) override {
        switch (status) {
            // Wine reports each request of a redirect chain, Windows each redirect.
            case BINDSTATUS_SENDINGREQUEST:
                if (++requests_ > net::kMaxRedirects + 1) AbortRedirectLoop();
                break;
            case BINDSTATUS_REDIRECTING:
                if (++redirects_ > net::kMaxRedirects) AbortRedirectLoop();
                break;
            case BINDSTATUS_BEGINDOWNLOADDATA:
            case BINDSTATUS_DOWNLOADINGDATA:
            case BINDSTATUS_ENDDOWNLOADDATA:
                watch_.Moved(progress);
                FlushLogIfDue();  // a long download keeps the job's log current
                break;
            default:
                break;
        }
        return S_OK;
    }
    HRESULT __stdcall OnStopBinding(HRESULT, LPCWSTR) override {
        const std::lock_guard<std::mutex> lock(bindingLock_);
        binding_.Reset();
        return S_OK;
    }
    // Every try asks the server: a cached copy of a cut body must not come back.
    HRESULT __stdcall GetBindInfo(DWORD* flags, BINDINFO*) override {
        *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
        return S_OK;
    }
    HRESULT __stdcall OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
        return S_OK;
    }
    HRESULT __stdcall OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // IHttpNegotiate
    HRESULT __stdcall BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR*) override {
        return S_OK;
    }
    HRESULT __stdcall OnResponse(DWORD responseCode, LPCWSTR headers, LPCWSTR, LPWSTR*) override {
        responseCode_ = responseCode;
        // A compressed body is saved decoded, so its file is not as long as announced.
        const wchar_t* length = Header(headers, kContentLength);
        if (length && !Header(headers, kContentEncoding))
            announcedLength_ = std::wcstoll(length, nullptr, 10);
        return S_OK;
    }

    // From the watcher's thread, while the try runs.
    void AbortIfStalled() {
        if (!aborted_ && watch_.Stalled()) Abort();
    }

  private:
    // The value of a header ("\r\n" + name + ":"), or null.
    static const wchar_t* Header(LPCWSTR headers, const wchar_t* name) {
        if (!headers) return nullptr;
        const size_t nameLength = std::wcslen(name);
        for (const wchar_t* at = headers; *at; ++at) {
            if (::_wcsnicmp(at, name, nameLength) == 0) return at + nameLength;
        }
        return nullptr;
    }

    // Wine's WinINet, which does the redirecting, goes on following the loop in
    // the background after the binding is aborted; only the binding ends.
    void AbortRedirectLoop() {
        redirectLoop_ = true;
        Abort();
    }

    // From any thread. The binding is held outside the lock: an abort may stop
    // the binding at once, on this thread, through OnStopBinding.
    void Abort() {
        runtime::ComRef<IBinding> binding;
        {
            const std::lock_guard<std::mutex> lock(bindingLock_);
            if (binding_) binding_->AddRef();
            binding.Reset(binding_.get());
        }
        if (!binding) return;  // the binding has ended already
        aborted_ = true;
        binding->Abort();
    }

    bool HoldsWholeBody(const std::string& file) const {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!::GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &attributes)) return false;
        const long long size =
            (static_cast<long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
        return announcedLength_ < 0 || size == announcedLength_;
    }

    ULONG references_ = 1;
    DWORD responseCode_ = 0;  // stays 0 for addresses that are not HTTP
    long long announcedLength_ = -1;
    int requests_ = 0;
    int redirects_ = 0;
    bool redirectLoop_ = false;
    std::atomic<bool> aborted_{false};
    std::mutex bindingLock_;
    runtime::ComRef<IBinding> binding_;
    net::StallWatch watch_{net::TimeLimitMs(net::kLowSpeedWindowMs), net::kLowSpeedBytes};
};

SegmentWatcher::SegmentWatcher() : stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_.Reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
}

SegmentWatcher::~SegmentWatcher() {
    ::SetEvent(stop_.get());
    if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
}

void SegmentWatcher::Watch(SegmentTry* attempt) {
    const std::lock_guard<std::mutex> lock(lock_);
    watched_ = attempt;
}

// The try is looked at under the lock, so it cannot end and go meanwhile:
// its thread leaves URLDownloadToFileA before it stops being watched.
DWORD __stdcall SegmentWatcher::Run(void* self) {
    SegmentWatcher& watcher = *static_cast<SegmentWatcher*>(self);
    while (::WaitForSingleObject(watcher.stop_.get(), kWatchIntervalMs) == WAIT_TIMEOUT) {
        const std::lock_guard<std::mutex> lock(watcher.lock_);
        if (watcher.watched_) watcher.watched_->AbortIfStalled();
    }
    return 0;
}

bool DownloadSegment(const char* address, const std::string& file, SegmentWatcher& watcher) {
    for (int attempt = 1;; ++attempt) {
        SegmentTry segment;
        const TryOutcome outcome = segment.Run(address, file, watcher);
        // urlmon downloads into the system's cache and copies from there, asked
        // or not: the copy in the cache would double every video on the disk and
        // slow each later download as the cache's index grows.
        CallDeclared(kDeleteUrlCacheEntryA, address);
        if (outcome == TryOutcome::kArrived) return true;
        // What a failed try left is an error page or part of a body: no segment.
        CallDeclared(kDeleteFileA, file.c_str());
        // A loop is no passing fault, and each try would leave one running.
        if (outcome == TryOutcome::kRedirectLoop || attempt == net::kSegmentTries) return false;
        ::Sleep(net::kRetryPauseMs);
    }
}

}  // namespace app
