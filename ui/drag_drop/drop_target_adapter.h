// The OLE drop target a DropTarget unit registers for the window it serves:
// it decides whether a drag may drop and turns a drop into texts handed to
// the unit's event routines, in the order text, HTML, URL, files.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "runtime/com_object.h"

namespace drag_drop {

// The kinds of dropped data, numbered as the unit's properties and events.
enum DropKind : int32_t { kText, kHtml, kUrl, kFiles, kDropKindCount };

// Receives one dropped text, already in the ANSI code page.
using DropRoutine = void (*)(uint32_t windowId, uint32_t unitId, const std::string& text);

class DropTargetAdapter final : public IDropTarget {
  public:
    // The reference count starts at 1: the unit's own, never given up, so the
    // adapter lives exactly as long as the unit it is part of.
    DropTargetAdapter();
    DropTargetAdapter(const DropTargetAdapter&) = delete;
    DropTargetAdapter& operator=(const DropTargetAdapter&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    // E_FAIL in every case, so that a source never deletes what it moved here.
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

    bool Accepts(DropKind kind) const { return accepts_[kind]; }
    void SetAccepts(DropKind kind, bool accepts) { accepts_[kind] = accepts; }
    // The window whose drags the drag-image object draws over.
    void SetWindow(HWND window) { window_ = window; }
    // Registers the clipboard formats and names what a drop is reported to;
    // an adapter never connected (a unit in design mode) raises nothing.
    void Connect(uint32_t windowId, uint32_t unitId, const DropRoutine (&routines)[kDropKindCount]);

  private:
    bool FindAcceptedFormat(IDataObject* data) const;
    // Narrows the source's allowed effects to the one this drop gets.
    bool ChooseEffect(DWORD keyState, DWORD* effect) const;
    void Deliver(DropKind kind, const std::string& text) const;
    void DeliverHtml(IDataObject* data) const;
    void DeliverFiles(IDataObject* data) const;

    LONG references_ = 1;
    bool acceptable_ = false;
    runtime::ComRef<IDropTargetHelper> dragImages_;  // null where the system has none
    HWND window_ = nullptr;
    UINT urlFormat_ = 0;
    UINT htmlFormat_ = 0;
    bool accepts_[kDropKindCount] = {};
    uint32_t windowId_ = 0;
    uint32_t unitId_ = 0;
    DropRoutine routines_[kDropKindCount] = {};
};

}  // namespace drag_drop
