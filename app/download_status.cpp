#include "app/download_status.h"

namespace app {

HRESULT __stdcall DownloadStatus::QueryInterface(REFIID riid, void** object) {
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

}  // namespace app
