// Files dragged with OLE from this process onto Velmora's address box, as a
// file manager drags them: DoDragDrop with the pointer over the box and a data
// object holding CF_HDROP. Wine hands the drag to the box's registered drop
// target in the other process through COM.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/velmora_session.h"

namespace e2e {
namespace {

// The drop source and its data: CF_HDROP with ANSI paths. Lives on the stack
// for one DoDragDrop; the reference count only answers COM.
class FileDrag final : public IDataObject, public IDropSource {
  public:
    explicit FileDrag(const std::vector<std::string>& paths) : paths_(paths) {}

    // Moves the pointer to the middle of `target` and drags there; the drop
    // comes once the target has seen the drag over it a few times.
    HRESULT DropOn(HWND target, DWORD* effect) {
        RECT rect;
        ::GetWindowRect(target, &rect);
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return ::DoDragDrop(this, this, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
        } else if (iid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    // IDropSource: no button is held, so the drag goes on for a few state
    // checks (each one lets the target see it) and then drops.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return ++checks_ < kChecksBeforeDrop ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        const HRESULT offered = QueryGetData(wanted);
        if (offered != S_OK) return offered;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = FileList();
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        if (wanted->cfFormat != CF_HDROP) return DV_E_FORMATETC;
        return (wanted->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return ::SHCreateStdEnumFmtEtc(1, &files, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

    int checks() const { return checks_; }

  private:
    static constexpr int kChecksBeforeDrop = 8;

    // DROPFILES, then each path with its terminator, then one more terminator.
    HGLOBAL FileList() const {
        std::string names;
        for (const std::string& path : paths_) names += path + '\0';
        names += '\0';
        HGLOBAL block =
            ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
        if (!block) return nullptr;
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = FALSE;
        std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(),
                    names.size());
        ::GlobalUnlock(block);
        return block;
    }

    std::vector<std::string> paths_;
    ULONG references_ = 1;
    int checks_ = 0;
};

class OleInitialization {
  public:
    OleInitialization() : result_(::OleInitialize(nullptr)) {}
    ~OleInitialization() {
        if (SUCCEEDED(result_)) ::OleUninitialize();
    }
    HRESULT result() const { return result_; }

  private:
    HRESULT result_;
};

class DropOnAddressBox : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ole_.result());
        ASSERT_TRUE(run_.ok());
        app_ = std::make_unique<Velmora>(run_);
        ASSERT_NE(nullptr, app_->main());
        // Other windows may stand over the box: the drop goes to what lies under the pointer.
        ::SetWindowPos(app_->main(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        app_->SetText(windows::kAddressBox, "http://example.invalid/index.m3u8");
    }

    // Drags the files onto the address box and returns what the box then holds.
    std::string Drop(const std::vector<std::string>& paths) {
        FileDrag drag(paths);
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT result = drag.DropOn(app_->Control(windows::kAddressBox), &effect);
        // The target refuses to complete every drop (E_FAIL) so that no source
        // deletes moved files; what counts is the event it raised.
        EXPECT_TRUE(result == DRAGDROP_S_DROP || result == E_FAIL) << std::hex << result;
        EXPECT_EQ(8, drag.checks());
        return app_->Text(windows::kAddressBox);
    }

    OleInitialization ole_;
    RunDirectory run_;
    std::unique_ptr<Velmora> app_;
};

TEST_F(DropOnAddressBox, OneFileReplacesTheAddressWithFileAtItsPath) {
    const std::string path = run_.path() + "\\index.m3u8";
    EXPECT_EQ("File@" + path, Drop({path}));
}

TEST_F(DropOnAddressBox, TwoFilesPutFileAtBeforeTheWholeListEachPathEndingALine) {
    const std::string first = run_.path() + "\\a.m3u8";
    const std::string second = run_.path() + "\\视频 b.m3u8";
    EXPECT_EQ("File@" + first + "\r\n" + second + "\r\n", Drop({first, second}));
}

}  // namespace
}  // namespace e2e
