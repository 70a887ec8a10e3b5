// What the DropTarget tests share: the unit's property and event numbers,
// type blocks, a drag source's data object, and a window the engine loaded
// with one DropTarget whose four events are bound to handlers that record
// what they get.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/runtime_entries.h"
#include "runtime/error_reporter.h"
#include "runtime/libraries.h"
#include "runtime/startup.h"
#include "tests/net/libraries.h"
#include "tests/support/template_records.h"
#include "tests/support/unit_test_helpers.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/drag_drop/drop_target.h"
#include "ui/event_dispatch.h"
#include "ui/template_reader.h"
#include "ui/unit_support.h"
#include "ui/window_lifecycle.h"
#include "ui/window_state.h"

namespace drop_test {

constexpr uint32_t kDropTargetTypeCode = 0x00030001;

constexpr int32_t kAcceptText = 8;
constexpr int32_t kAcceptHtml = 9;
constexpr int32_t kAcceptUrl = 10;
constexpr int32_t kAcceptFiles = 11;

constexpr int32_t kTextDropped = 0;
constexpr int32_t kHtmlDropped = 1;
constexpr int32_t kUrlDropped = 2;
constexpr int32_t kFilesDropped = 3;

constexpr DWORD kAnyEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return unit_testing::RoutineOf<Routine>(drag_drop::kDropTargetType, number);
}

// The type block accepting these kinds, claiming `version`.
inline std::vector<uint8_t> Block(uint32_t text, uint32_t html, uint32_t url, uint32_t files,
                                  uint32_t version = drag_drop::DropTargetBlock::kNewestVersion) {
    drag_drop::DropTargetBlock block;
    block.acceptText = text;
    block.acceptHtml = html;
    block.acceptUrl = url;
    block.acceptFiles = files;
    return unit_testing::AsVersion(block.Write(), version);
}

inline UINT HtmlFormat() { return ::RegisterClipboardFormatA("HTML Format"); }
inline UINT UrlFormat() { return ::RegisterClipboardFormatA("UniformResourceLocator"); }

// CF_HDROP content: a DROPFILES header, then ANSI paths, each with its NUL,
// and one more NUL.
inline std::string FileList(std::initializer_list<const char*> paths) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (const char* path : paths) {
        bytes += path;
        bytes += '\0';
    }
    bytes += '\0';
    return bytes;
}

// A drag source's data: each format as global memory, a fresh copy per
// GetData, which the taker releases. Lives on the stack.
class DataObject final : public IDataObject {
  public:
    DataObject& Add(UINT format, std::string bytes) {
        formats_.emplace_back(format, std::move(bytes));
        return *this;
    }
    DataObject& AddText(UINT format, const std::string& text) { return Add(format, text + '\0'); }
    // The formats asked for with GetData, in order.
    const std::vector<UINT>& taken() const { return taken_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDataObject) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        taken_.push_back(wanted->cfFormat);
        const std::string* bytes = Find(*wanted);
        if (!bytes) return DV_E_FORMATETC;
        HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes->size());
        std::memcpy(::GlobalLock(global), bytes->data(), bytes->size());
        ::GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        return Find(*wanted) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    const std::string* Find(const FORMATETC& wanted) const {
        if (wanted.dwAspect != DVASPECT_CONTENT || !(wanted.tymed & TYMED_HGLOBAL)) return nullptr;
        for (const auto& format : formats_) {
            if (format.first == wanted.cfFormat) return &format.second;
        }
        return nullptr;
    }

    ULONG references_ = 1;
    std::vector<std::pair<UINT, std::string>> formats_;
    std::vector<UINT> taken_;
};

// ---------------------------------------------------------------------------
// The unit in a window the engine loaded, its events bound to these handlers.

constexpr uint32_t kWindowId = 0x52000301;
constexpr uint32_t kWindowUnitId = 0x06000301;
constexpr uint32_t kUnitId = 0x16000302;

struct Raised {
    int32_t event;
    std::string text;
    bool operator==(const Raised& other) const {
        return event == other.event && text == other.text;
    }
};

inline void PrintTo(const Raised& raised, std::ostream* out) {
    *out << "{" << raised.event << ", \"" << raised.text << "\"}";
}

inline std::vector<Raised> g_raised;

// Handlers get the text variable's address: the argument is by reference.
template <int32_t event>
int32_t OnDropped(char** text) {
    g_raised.push_back({event, *text ? *text : ""});
    return 0;
}

// A hidden window holding one DropTarget, handlers already relocated.
inline ui::WindowTemplate DropWindowTemplate(const std::vector<uint8_t>& dropBlock) {
    using unit_testing::UnitRecord;
    const std::vector<std::vector<uint8_t>> records = {
        UnitRecord({0x00010001, "", {0, 0, 240, 160}, 0, {}, {}}),
        UnitRecord({kDropTargetTypeCode,
                    "拖放对象1",
                    {10, 10, 26, 26},
                    1,
                    {{kTextDropped, reinterpret_cast<uint32_t>(&OnDropped<kTextDropped>)},
                     {kHtmlDropped, reinterpret_cast<uint32_t>(&OnDropped<kHtmlDropped>)},
                     {kUrlDropped, reinterpret_cast<uint32_t>(&OnDropped<kUrlDropped>)},
                     {kFilesDropped, reinterpret_cast<uint32_t>(&OnDropped<kFilesDropped>)}},
                    dropBlock}),
    };
    return unit_testing::WindowTemplateOf(kWindowId, {kWindowUnitId, kUnitId}, records);
}

// ole32 keeps the target registered for a window in this window property.
inline IDropTarget* TargetOf(HWND window) {
    return static_cast<IDropTarget*>(::GetPropA(window, "OleDropTargetInterface"));
}

struct DropOutcome {
    DWORD enterEffect;
    DWORD dropEffect;
    HRESULT dropResult;
};

inline int32_t SilentErrorHook(int32_t /*code*/, const char* message) {
    const bool missing = std::strcmp(message, runtime::messages::kWindowOrUnitMissing) == 0;
    std::fprintf(stderr, missing ? "unit missing\n" : "other error\n");
    return 1;
}

class DropTargetDropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        drag_drop::kDragDropLibrary.notify(runtime::library_notify::kAttach,
                                           reinterpret_cast<uint32_t>(&runtime::LibraryCallback),
                                           0);
        target_ = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 24, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
        other_ = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 40, 200, 24, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(target_ && other_);
        g_raised.clear();
    }
    void TearDown() override {
        if (ui::WindowState* window = ui::FindWindowState(kWindowId)) {
            if (window->IsOpen()) ::DestroyWindow(window->hwnd);
        }
        ui::BuildWindowStates({});
        ::DestroyWindow(target_);
        ::DestroyWindow(other_);
        drag_drop::kDragDropLibrary.notify(runtime::library_notify::kEnd, 0, 0);
    }

    void Load(const std::vector<uint8_t>& dropBlock) {
        ASSERT_TRUE(ui::BuildWindowStates({DropWindowTemplate(dropBlock)}));
        ASSERT_TRUE(ui::LoadWindowFromTemplate(kWindowId, false, false, nullptr));
    }
    // Loads the window and registers the target with its DropTarget.
    void LoadRegistered(const std::vector<uint8_t>& dropBlock) {
        Load(dropBlock);
        ASSERT_TRUE(RegisterWindow(kUnitId, target_));
        ASSERT_NE(nullptr, TargetOf(target_));
    }

    static ui::LiveUnit* Unit() { return ui::FindWindowState(kWindowId)->FindUnit(kUnitId); }

    static bool RegisterWindow(uint32_t unitId, HWND window) {
        const runtime::ArgRecord args[] = {
            {kWindowId, unitId, kDropTargetTypeCode},
            {reinterpret_cast<uint32_t>(window), 0, runtime::tag::kInteger},
        };
        const runtime::ArgRecord result = ::CallLibraryCommand(
            test_app::kDragDropLibraryIndex, drag_drop::kDragDropLibrary.commands[0], 2, args);
        return result.low != 0;
    }

    // What OLE does for a drop that ends where it entered.
    DropOutcome DragAndDrop(IDataObject* data, DWORD keys = 0, DWORD allowed = kAnyEffect) {
        IDropTarget* target = TargetOf(target_);
        const POINTL point{5, 5};
        DropOutcome outcome{};
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON | keys, point, &effect));
        outcome.enterEffect = effect;
        effect = allowed;
        outcome.dropResult = target->Drop(data, keys, point, &effect);
        outcome.dropEffect = effect;
        return outcome;
    }

    HWND target_ = nullptr;
    HWND other_ = nullptr;
};

}  // namespace drop_test
