#include "ui/drag_drop/drop_target_adapter.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>

namespace drag_drop {

namespace {

constexpr char kUrlFormatName[] = "UniformResourceLocator";
constexpr char kHtmlFormatName[] = "HTML Format";

// LdapUTF8ToUnicode of the LDAP client library, which exports it as ordinal 29.
constexpr char kLdapLibrary[] = "wldap32.dll";
constexpr WORD kUtf8ToUnicodeOrdinal = 29;
using Utf8ToUnicodeRoutine = int(__cdecl*)(const char* source, int sourceLength, wchar_t* target,
                                           int targetLength);

constexpr DWORD kEffectsByPreference[] = {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK};

FORMATETC HGlobalFormat(UINT format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

class StorageMedium {
  public:
    StorageMedium() = default;
    ~StorageMedium() {
        if (medium_.tymed != TYMED_NULL) ::ReleaseStgMedium(&medium_);
    }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    // False unless the object gives the format as global memory.
    bool Get(IDataObject* data, UINT format) {
        FORMATETC wanted = HGlobalFormat(format);
        return data->GetData(&wanted, &medium_) == S_OK && medium_.tymed == TYMED_HGLOBAL &&
               medium_.hGlobal;
    }
    HGLOBAL global() const { return medium_.hGlobal; }

  private:
    STGMEDIUM medium_{};
};

class ScopedGlobalLock {
  public:
    explicit ScopedGlobalLock(HGLOBAL global)
        : global_(global), data_(static_cast<const char*>(::GlobalLock(global))) {}
    ~ScopedGlobalLock() {
        if (data_) ::GlobalUnlock(global_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    const char* data() const { return data_; }
    size_t size() const { return data_ ? ::GlobalSize(global_) : 0; }

  private:
    HGLOBAL global_;
    const char* data_;
};

// The bytes up to the first NUL; a source that leaves the terminator out
// does not make us read past its block.
std::string TextOfFormat(IDataObject* data, UINT format, bool* present) {
    StorageMedium medium;
    *present = medium.Get(data, format);
    if (!*present) return std::string();
    ScopedGlobalLock lock(medium.global());
    if (!lock.data()) return std::string();
    const void* nul = std::memchr(lock.data(), '\0', lock.size());
    const size_t length =
        nul ? static_cast<size_t>(static_cast<const char*>(nul) - lock.data()) : lock.size();
    return std::string(lock.data(), length);
}

// DragQueryFileA trusts the list: the DROPFILES header and the double
// terminator at its end must lie inside the block.
bool IsWellFormedFileList(HGLOBAL global) {
    ScopedGlobalLock lock(global);
    if (!lock.data() || lock.size() < sizeof(DROPFILES)) return false;
    DROPFILES header;
    std::memcpy(&header, lock.data(), sizeof header);
    const size_t unit = header.fWide ? 2 : 1;
    if (header.pFiles < sizeof header || header.pFiles > lock.size()) return false;
    const char kZeros[4] = {};
    for (size_t at = header.pFiles; at + 2 * unit <= lock.size(); at += unit) {
        if (std::memcmp(lock.data() + at, kZeros, 2 * unit) == 0) return true;
    }
    return false;
}

Utf8ToUnicodeRoutine LdapUtf8ToUnicode() {
    // Loaded once and kept for the life of the process.
    static const Utf8ToUnicodeRoutine routine = []() -> Utf8ToUnicodeRoutine {
        HMODULE library = ::LoadLibraryA(kLdapLibrary);
        if (!library) return nullptr;
        FARPROC entry = ::GetProcAddress(library, MAKEINTRESOURCEA(kUtf8ToUnicodeOrdinal));
        return reinterpret_cast<Utf8ToUnicodeRoutine>(reinterpret_cast<void*>(entry));
    }();
    return routine;
}

// The whole text with its terminator goes through the conversion; UTF-16
// never needs more units than UTF-8 has bytes. Without the LDAP library the
// system's own UTF-8 conversion does the same work.
std::wstring Utf8ToWide(const std::string& utf8) {
    const int length = static_cast<int>(utf8.size()) + 1;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    const Utf8ToUnicodeRoutine convert = LdapUtf8ToUnicode();
    const int written =
        convert ? convert(utf8.c_str(), length, &wide[0], length)
                : ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), length, &wide[0], length);
    if (written <= 0) return std::wstring();
    wide.resize(std::wcslen(wide.c_str()));
    return wide;
}

std::string WideToAnsi(const std::wstring& wide) {
    const int size = ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide.c_str(), -1, nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide.c_str(), -1, &ansi[0], size, nullptr,
                          nullptr);
    ansi.resize(static_cast<size_t>(size) - 1);
    return ansi;
}

}  // namespace

DropTargetAdapter::DropTargetAdapter() {
    ::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                       dragImages_.PutVoid());
}

void DropTargetAdapter::Connect(uint32_t windowId, uint32_t unitId,
                                const DropRoutine (&routines)[kDropKindCount]) {
    urlFormat_ = ::RegisterClipboardFormatA(kUrlFormatName);
    htmlFormat_ = ::RegisterClipboardFormatA(kHtmlFormatName);
    for (int kind = 0; kind < kDropKindCount; ++kind) routines_[kind] = routines[kind];
    windowId_ = windowId;
    unitId_ = unitId;
}

HRESULT STDMETHODCALLTYPE DropTargetAdapter::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTargetAdapter::AddRef() { return static_cast<ULONG>(++references_); }

ULONG STDMETHODCALLTYPE DropTargetAdapter::Release() { return static_cast<ULONG>(--references_); }

HRESULT STDMETHODCALLTYPE DropTargetAdapter::DragEnter(IDataObject* data, DWORD keyState,
                                                       POINTL point, DWORD* effect) {
    POINT at{point.x, point.y};
    if (dragImages_) dragImages_->DragEnter(window_, data, &at, *effect);
    acceptable_ = FindAcceptedFormat(data);
    ChooseEffect(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetAdapter::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    POINT at{point.x, point.y};
    if (dragImages_) dragImages_->DragOver(&at, *effect);
    ChooseEffect(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetAdapter::DragLeave() {
    if (dragImages_) dragImages_->DragLeave();
    acceptable_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetAdapter::Drop(IDataObject* data, DWORD keyState, POINTL point,
                                                  DWORD* effect) {
    POINT at{point.x, point.y};
    if (dragImages_) dragImages_->Drop(data, &at, *effect);
    if (!ChooseEffect(keyState, effect)) return E_FAIL;

    bool present = false;
    if (accepts_[kText]) {
        // A browser selection carries its text twice; with HTML there, the
        // plain copy is not reported.
        StorageMedium html;
        if (!html.Get(data, htmlFormat_)) {
            const std::string text = TextOfFormat(data, CF_TEXT, &present);
            if (present) Deliver(kText, text);
        }
    }
    if (accepts_[kHtml]) DeliverHtml(data);
    if (accepts_[kUrl]) {
        const std::string url = TextOfFormat(data, urlFormat_, &present);
        if (present) Deliver(kUrl, url);
    }
    if (accepts_[kFiles]) DeliverFiles(data);
    return E_FAIL;
}

bool DropTargetAdapter::FindAcceptedFormat(IDataObject* data) const {
    const struct {
        DropKind kind;
        UINT format;
    } kSearchOrder[] = {
        {kText, CF_TEXT}, {kFiles, CF_HDROP}, {kUrl, urlFormat_}, {kHtml, htmlFormat_}};
    for (const auto& entry : kSearchOrder) {
        if (!accepts_[entry.kind]) continue;
        FORMATETC wanted = HGlobalFormat(entry.format);
        if (data->QueryGetData(&wanted) == S_OK) return true;
    }
    return false;
}

// Ctrl and Shift together ask for a link, which is never offered.
bool DropTargetAdapter::ChooseEffect(DWORD keyState, DWORD* effect) const {
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (!acceptable_) return false;
    const bool control = (keyState & MK_CONTROL) != 0;
    const bool shift = (keyState & MK_SHIFT) != 0;
    if (control && shift) return false;
    if (control || shift) {
        const DWORD wanted = control ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        if (!(allowed & wanted)) return false;
        *effect = wanted;
        return true;
    }
    for (DWORD candidate : kEffectsByPreference) {
        if (allowed & candidate) {
            *effect = candidate;
            return true;
        }
    }
    return false;
}

void DropTargetAdapter::Deliver(DropKind kind, const std::string& text) const {
    if (routines_[kind]) routines_[kind](windowId_, unitId_, text);
}

// Browsers give HTML as UTF-8 and put no-break spaces where the page had
// &nbsp;, which would not survive the ANSI code page as spaces.
void DropTargetAdapter::DeliverHtml(IDataObject* data) const {
    bool present = false;
    const std::string utf8 = TextOfFormat(data, htmlFormat_, &present);
    if (!present) return;
    std::wstring wide = Utf8ToWide(utf8);
    for (wchar_t& c : wide) {
        if (c == L'\u00A0') c = L' ';
    }
    Deliver(kHtml, WideToAnsi(wide));
}

// One file is reported as its path; several as lines, each ended by CR LF.
void DropTargetAdapter::DeliverFiles(IDataObject* data) const {
    StorageMedium medium;
    if (!medium.Get(data, CF_HDROP) || !IsWellFormedFileList(medium.global())) return;
    auto drop = static_cast<HDROP>(medium.global());
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::string joined;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        ::DragQueryFileA(drop, i, &path[0], length + 1);
        path.resize(std::strlen(path.c_str()));
        if (count == 1) {
            joined = path;
        } else {
            joined += path;
            joined += "\r\n";
        }
    }
    Deliver(kFiles, joined);
}

}  // namespace drag_drop
