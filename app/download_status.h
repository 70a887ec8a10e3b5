// The status callback handed to URLDownloadToFileA: it keeps the HTTP status
// of the answer, since an error page is saved like any file and the call then
// reports success.
#pragma once

#include <urlmon.h>

namespace app {

class DownloadStatus : public IBindStatusCallback, public IHttpNegotiate {
public:
    // Whether the server answered with an error status (400 or above).
    bool ServerRefused() const { return responseCode_ >= 400; }

    // IUnknown. The object lives on the caller's stack for one synchronous
    // download, so the reference count only has to be honest, not to free.
    HRESULT __stdcall QueryInterface(REFIID riid, void** object) override;
    ULONG __stdcall AddRef() override { return ++references_; }
    ULONG __stdcall Release() override { return --references_; }

    // IBindStatusCallback: nothing to do but let the download run.
    HRESULT __stdcall OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT __stdcall GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT __stdcall OnLowResource(DWORD) override { return S_OK; }
    HRESULT __stdcall OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    HRESULT __stdcall OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT __stdcall GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    HRESULT __stdcall OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT __stdcall OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // IHttpNegotiate
    HRESULT __stdcall BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR*) override { return S_OK; }
    HRESULT __stdcall OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR*) override {
        responseCode_ = responseCode;
        return S_OK;
    }

private:
    ULONG references_ = 1;
    DWORD responseCode_ = 0;  // stays 0 for addresses that are not HTTP
};

}  // namespace app
