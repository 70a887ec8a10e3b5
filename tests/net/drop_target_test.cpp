// The DropTarget unit and its library. Drops go through OLE: the engine loads
// a window from a template built here, whose DropTarget binds its four events
// to handlers of this file; the library is attached with the runtime's own
// callback; RegisterWindow is called through the application's entry; and a
// data object of ours is dropped on the IDropTarget that OLE holds for the
// registered window.
#include "net/drop_target.h"

#include <gtest/gtest.h>
#include <windows.h>

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
#include "net/drag_drop_library.h"
#include "tests/net/libraries.h"
#include "tests/support/unit_test_helpers.h"
#include "runtime/error_reporter.h"
#include "runtime/libraries.h"
#include "runtime/startup.h"
#include "ui/event_dispatch.h"
#include "ui/template_reader.h"
#include "ui/unit_support.h"
#include "ui/window_lifecycle.h"
#include "ui/window_state.h"

namespace {

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
    return reinterpret_cast<Routine>(net::kDropTargetType.interfaceRoutine(number));
}

// The type block accepting these kinds, claiming `version`.
std::vector<uint8_t> Block(uint32_t text, uint32_t html, uint32_t url, uint32_t files,
                           uint32_t version = net::DropTargetBlock::kNewestVersion) {
    net::DropTargetBlock block;
    block.acceptText = text;
    block.acceptHtml = html;
    block.acceptUrl = url;
    block.acceptFiles = files;
    return unit_testing::AsVersion(block.Write(), version);
}

UINT HtmlFormat() { return ::RegisterClipboardFormatA("HTML Format"); }
UINT UrlFormat() { return ::RegisterClipboardFormatA("UniformResourceLocator"); }

// CF_HDROP content: a DROPFILES header, then ANSI paths, each with its NUL,
// and one more NUL.
std::string FileList(std::initializer_list<const char*> paths) {
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
// The type and its library.

TEST(DropTargetType, IsUnitOneOfLibraryThreeWithFourLogicalProperties) {
    EXPECT_EQ(&net::kDropTargetType, runtime::FindUnitType(kDropTargetTypeCode));
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00030002));
    EXPECT_STREQ("拖放对象", net::kDropTargetType.chineseName);
    EXPECT_STREQ("DropTarget", net::kDropTargetType.englishName);
    EXPECT_NE(0u, net::kDropTargetType.flags & ui::unit_flags::kRaisesEventsToo);
    // The engine keeps its window hidden whatever the template says.
    EXPECT_NE(0u, net::kDropTargetType.flags & ui::unit_flags::kNoOwnState);
    ASSERT_EQ(12u, net::kDropTargetType.propertyCount);
    for (int32_t property : {kAcceptText, kAcceptHtml, kAcceptUrl, kAcceptFiles}) {
        EXPECT_EQ(ui::data_type::kLogical, net::kDropTargetType.properties[property].dataType)
            << "property " << property;
    }
    for (int32_t number : {ui::routine::kCreate, ui::routine::kSetProperty,
                           ui::routine::kWriteTypeBlock, ui::routine::kGetProperty}) {
        EXPECT_NE(nullptr, net::kDropTargetType.interfaceRoutine(number)) << "routine " << number;
    }
    for (int32_t number : {ui::routine::kWindowGetProperty, ui::routine::kKeyFilter,
                           ui::routine::kVisitTexts, ui::routine::kDefaultButtonTest}) {
        EXPECT_EQ(nullptr, net::kDropTargetType.interfaceRoutine(number)) << "routine " << number;
    }
    ASSERT_EQ(1u, net::kDragDropLibrary.commandCount);
    EXPECT_EQ(&net::RegisterWindow, net::kDragDropLibrary.commands[0]);
}

TEST(DropTargetType, TheLdapLibraryExportsItsUtf8ConversionAsOrdinal29) {
    HMODULE ldap = ::LoadLibraryA("wldap32.dll");
    ASSERT_NE(nullptr, ldap);
    const FARPROC byName = ::GetProcAddress(ldap, "LdapUTF8ToUnicode");
    EXPECT_NE(nullptr, byName);
    EXPECT_EQ(byName, ::GetProcAddress(ldap, MAKEINTRESOURCEA(29)));
}

// ---------------------------------------------------------------------------
// The unit on its own: created through its interface routine on a window of
// ours, which the engine does not know, so no event may be raised.

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class DropTargetUnitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &PlainProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "VelmoraDropTargetTestParent";
        ::RegisterClassA(&windowClass);
        parent_ = ::CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 200, 150,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, parent_);
    }
    void TearDown() override { ::DestroyWindow(parent_); }

    std::unique_ptr<ui::Unit> Create(const std::vector<uint8_t>& block, uint32_t style = 0) {
        const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
        return std::unique_ptr<ui::Unit>(create(block.data(), static_cast<int32_t>(block.size()),
                                                style, parent_, 150, nullptr, 20, 30, 26, 26,
                                                0x52000201, 0x16000202, 0, 0));
    }
    static int32_t Set(ui::Unit* unit, int32_t property, uint32_t value) {
        int32_t recreate = -1;
        RoutineOf<ui::SetPropertyRoutine>(ui::routine::kSetProperty)(unit, property - 8, {value, 0},
                                                                     &recreate);
        return recreate;
    }
    static uint32_t Get(ui::Unit* unit, int32_t property) {
        ui::PropertyValue value;
        EXPECT_TRUE(RoutineOf<ui::GetPropertyRoutine>(ui::routine::kGetProperty)(unit, property - 8,
                                                                                 &value));
        return value.low;
    }
    static std::vector<uint32_t> Accepts(ui::Unit* unit) {
        return {Get(unit, kAcceptText), Get(unit, kAcceptHtml), Get(unit, kAcceptUrl),
                Get(unit, kAcceptFiles)};
    }

    ui::EventSuppression quiet_;
    HWND parent_ = nullptr;
};

TEST_F(DropTargetUnitTest, IsAWhiteBrushedChildOfItsOwnClass) {
    auto unit = Create({}, WS_DISABLED);
    ASSERT_NE(nullptr, unit);
    HWND window = unit->hwnd();
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ("_ZV_DropTarget", className);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(::GetStockObject(WHITE_BRUSH)),
              ::GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS),
              ::GetClassLongPtrA(window, GCL_STYLE));
    const auto style = static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED),
              style & (WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED | WS_VISIBLE));
    EXPECT_EQ(0, ::GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(150, ::GetDlgCtrlID(window));
    EXPECT_EQ(parent_, ::GetParent(window));
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(20, rect.left);
    EXPECT_EQ(30, rect.top);
    EXPECT_EQ(26, rect.right - rect.left);
    EXPECT_EQ(26, rect.bottom - rect.top);
    EXPECT_EQ(0, ::GetWindowTextLengthA(window));
}

TEST_F(DropTargetUnitTest, PropertiesComeFromTheBlockAndGoBackIntoIt) {
    auto empty = Create({});
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 0, 0}), Accepts(empty.get()));

    auto unit = Create(Block(1, 0, 1, 0));
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ((std::vector<uint32_t>{1, 0, 1, 0}), Accepts(unit.get()));
    EXPECT_EQ(0, Set(unit.get(), kAcceptFiles, 1));
    EXPECT_EQ(0, Set(unit.get(), kAcceptText, 0));
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 1, 1}), Accepts(unit.get()));
    ui::PropertyValue beyond;
    EXPECT_FALSE(
        RoutineOf<ui::GetPropertyRoutine>(ui::routine::kGetProperty)(unit.get(), 4, &beyond));

    const std::vector<uint8_t> written =
        RoutineOf<ui::WriteTypeBlockRoutine>(ui::routine::kWriteTypeBlock)(unit.get());
    EXPECT_EQ(Block(0, 0, 1, 1), written);
    auto rebuilt = Create(written);
    ASSERT_NE(nullptr, rebuilt);
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 1, 1}), Accepts(rebuilt.get()));
}

TEST_F(DropTargetUnitTest, NewerOrTruncatedBlocksAreRefused) {
    EXPECT_EQ(nullptr, Create(Block(0, 0, 0, 1, 2)));
    const std::vector<uint8_t> whole = Block(0, 0, 0, 1);
    for (size_t length = 1; length < whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(),
                                       whole.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_EQ(nullptr, Create(cut)) << "cut at " << length;
    }
}

TEST_F(DropTargetUnitTest, PaintsAButtonFaceBoxInABlackFrame) {
    ::ShowWindow(parent_, SW_SHOWNA);
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND window = unit->hwnd();
    ::ShowWindow(window, SW_SHOWNA);
    ::UpdateWindow(window);
    HDC dc = ::GetDC(window);
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, 25, 25));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(dc, 13, 13));
    ::ReleaseDC(window, dc);
}

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

void PrintTo(const Raised& raised, std::ostream* out) {
    *out << "{" << raised.event << ", \"" << raised.text << "\"}";
}

std::vector<Raised> g_raised;

// Handlers get the text variable's address: the argument is by reference.
template <int32_t event>
int32_t OnDropped(char** text) {
    g_raised.push_back({event, *text ? *text : ""});
    return 0;
}

void PutWord(std::vector<uint8_t>& bytes, uint32_t word) {
    const auto* p = reinterpret_cast<const uint8_t*>(&word);
    bytes.insert(bytes.end(), p, p + 4);
}

void PutText(std::vector<uint8_t>& bytes, const char* text) {
    bytes.insert(bytes.end(), text, text + std::strlen(text) + 1);
}

struct RecordFields {
    uint32_t typeCode;
    const char* name;
    RECT rect;  // left, top, width, height
    uint32_t flags;
    std::vector<std::pair<int32_t, uint32_t>> events;
    std::vector<uint8_t> block;
};

std::vector<uint8_t> UnitRecord(const RecordFields& fields) {
    std::vector<uint8_t> body;
    PutWord(body, fields.typeCode);
    PutWord(body, 0);                              // link
    for (int i = 0; i < 4; ++i) PutWord(body, 0);  // 16 reserved bytes
    PutText(body, fields.name);
    PutText(body, "");  // remark
    PutWord(body, 0);   // object slot
    for (LONG field : {fields.rect.left, fields.rect.top, fields.rect.right, fields.rect.bottom}) {
        PutWord(body, static_cast<uint32_t>(field));
    }
    PutWord(body, 0);   // cursor slot
    PutWord(body, 0);   // parent: the window
    PutWord(body, 0);   // no children
    PutWord(body, 0);   // no mouse-pointer bytes
    PutText(body, "");  // tag
    PutWord(body, 0);   // reserved
    PutWord(body, fields.flags);
    PutWord(body, 0);  // focus order
    PutWord(body, static_cast<uint32_t>(fields.events.size()));
    for (const auto& binding : fields.events) {
        PutWord(body, static_cast<uint32_t>(binding.first));
        PutWord(body, binding.second);
    }
    for (int i = 0; i < 5; ++i) PutWord(body, 0);  // 20 reserved bytes
    body.insert(body.end(), fields.block.begin(), fields.block.end());
    std::vector<uint8_t> record;
    PutWord(record, static_cast<uint32_t>(body.size()));
    record.insert(record.end(), body.begin(), body.end());
    return record;
}

// A hidden window holding one DropTarget, handlers already relocated.
ui::WindowTemplate DropWindowTemplate(const std::vector<uint8_t>& dropBlock) {
    const std::vector<uint8_t> records[] = {
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
    ui::WindowTemplate window;
    window.windowId = kWindowId;
    window.unitCount = 2;
    PutWord(window.unitBuffer, kWindowUnitId);
    PutWord(window.unitBuffer, kUnitId);
    PutWord(window.unitBuffer, 0);
    PutWord(window.unitBuffer, static_cast<uint32_t>(records[0].size()));
    for (const auto& record : records) {
        window.unitBuffer.insert(window.unitBuffer.end(), record.begin(), record.end());
    }
    return window;
}

// ole32 keeps the target registered for a window in this window property.
IDropTarget* TargetOf(HWND window) {
    return static_cast<IDropTarget*>(::GetPropA(window, "OleDropTargetInterface"));
}

struct DropOutcome {
    DWORD enterEffect;
    DWORD dropEffect;
    HRESULT dropResult;
};

int32_t SilentErrorHook(int32_t /*code*/, const char* message) {
    const bool missing = std::strcmp(message, runtime::messages::kWindowOrUnitMissing) == 0;
    std::fprintf(stderr, missing ? "unit missing\n" : "other error\n");
    return 1;
}

class DropTargetDropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        net::kDragDropLibrary.notify(runtime::library_notify::kAttach,
                                     reinterpret_cast<uint32_t>(&runtime::LibraryCallback), 0);
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
        net::kDragDropLibrary.notify(runtime::library_notify::kEnd, 0, 0);
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
            test_app::kDragDropLibraryNumber, net::kDragDropLibrary.commands[0], 2, args);
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

TEST_F(DropTargetDropTest, TwoFilesArriveAsLinesAndOneFileAsItsPathAlone) {
    LoadRegistered(Block(0, 0, 0, 1));
    DataObject two;
    two.Add(CF_HDROP, FileList({"C:\\片段\\a.m3u8", "C:\\b.txt"}));
    DropOutcome outcome = DragAndDrop(&two);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.enterEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.dropEffect);

    DataObject one;
    one.Add(CF_HDROP, FileList({"C:\\下载\\media.m3u8"}));
    EXPECT_EQ(E_FAIL, DragAndDrop(&one).dropResult);

    const std::vector<Raised> expected = {
        {kFilesDropped, "C:\\片段\\a.m3u8\r\nC:\\b.txt\r\n"},
        {kFilesDropped, "C:\\下载\\media.m3u8"},
    };
    EXPECT_EQ(expected, g_raised);
}

TEST_F(DropTargetDropTest, AFileListRunningPastItsBlockRaisesNothing) {
    LoadRegistered(Block(0, 0, 0, 1));
    std::string unterminated = FileList({"C:\\a.txt"});
    unterminated.resize(unterminated.size() - 2);  // both terminators gone
    DataObject data;
    data.Add(CF_HDROP, unterminated);
    EXPECT_EQ(E_FAIL, DragAndDrop(&data).dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
}

TEST_F(DropTargetDropTest, TextBesideHtmlRaisesNothingOnATextOnlyTarget) {
    LoadRegistered(Block(1, 0, 0, 0));
    DataObject selection;
    selection.AddText(CF_TEXT, "网页上的文字").AddText(HtmlFormat(), "<b>x</b>");
    const DropOutcome outcome = DragAndDrop(&selection);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.enterEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
    EXPECT_EQ(std::vector<UINT>{HtmlFormat()}, selection.taken());

    DataObject plain;
    plain.AddText(CF_TEXT, "网页上的文字");
    EXPECT_EQ(E_FAIL, DragAndDrop(&plain).dropResult);
    EXPECT_EQ((std::vector<Raised>{{kTextDropped, "网页上的文字"}}), g_raised);
}

TEST_F(DropTargetDropTest, FilesAreIgnoredWhenNotAccepted) {
    LoadRegistered(Block(1, 1, 1, 0));
    DataObject files;
    files.Add(CF_HDROP, FileList({"C:\\a.txt"}));
    const DropOutcome outcome = DragAndDrop(&files);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), outcome.enterEffect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), outcome.dropEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
    EXPECT_TRUE(files.taken().empty());
}

TEST_F(DropTargetDropTest, EffectFollowsTheKeysAndWhatTheSourceAllows) {
    LoadRegistered(Block(1, 0, 0, 0));
    DataObject data;
    data.AddText(CF_TEXT, "x");
    IDropTarget* target = TargetOf(target_);
    const POINTL point{1, 1};
    DWORD effect = kAnyEffect;
    ASSERT_EQ(S_OK, target->DragEnter(&data, MK_LBUTTON, point, &effect));

    const struct {
        DWORD keys;
        DWORD allowed;
        DWORD expected;
    } kCases[] = {
        {MK_CONTROL | MK_SHIFT, kAnyEffect, DROPEFFECT_NONE},  // a link is never offered
        {MK_CONTROL, kAnyEffect, DROPEFFECT_COPY},
        {MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
        {MK_SHIFT, kAnyEffect, DROPEFFECT_MOVE},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {0, kAnyEffect, DROPEFFECT_COPY},
        {0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        {0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {0, DROPEFFECT_NONE, DROPEFFECT_NONE},
    };
    for (const auto& c : kCases) {
        effect = c.allowed;
        EXPECT_EQ(S_OK, target->DragOver(MK_LBUTTON | c.keys, point, &effect));
        EXPECT_EQ(c.expected, effect) << "keys " << c.keys << " allowed " << c.allowed;
        effect = c.allowed;
        EXPECT_EQ(S_OK, target->DragEnter(&data, MK_LBUTTON | c.keys, point, &effect));
        EXPECT_EQ(c.expected, effect) << "entering, keys " << c.keys << " allowed " << c.allowed;
    }

    // A refused effect refuses the drop; so does a drag that has left.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(&data, MK_CONTROL | MK_SHIFT).dropEffect);
    effect = kAnyEffect;
    target->DragEnter(&data, MK_LBUTTON, point, &effect);
    EXPECT_EQ(S_OK, target->DragLeave());
    effect = kAnyEffect;
    EXPECT_EQ(E_FAIL, target->Drop(&data, 0, point, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
}

TEST_F(DropTargetDropTest, EventsArriveInTheOrderTextHtmlUrlFiles) {
    LoadRegistered(Block(1, 1, 1, 1));
    DataObject withoutHtml;
    withoutHtml.Add(CF_HDROP, FileList({"C:\\a.txt"}))
        .AddText(UrlFormat(), "http://127.0.0.1/list.m3u8")
        .AddText(CF_TEXT, "文字");
    EXPECT_EQ(E_FAIL, DragAndDrop(&withoutHtml).dropResult);
    DataObject withHtml;
    withHtml.Add(CF_HDROP, FileList({"C:\\b.txt"}))
        .AddText(UrlFormat(), "http://127.0.0.1/b")
        .AddText(HtmlFormat(), "<p>b</p>")
        .AddText(CF_TEXT, "b");
    EXPECT_EQ(E_FAIL, DragAndDrop(&withHtml).dropResult);

    const std::vector<Raised> expected = {
        {kTextDropped, "文字"},
        {kUrlDropped, "http://127.0.0.1/list.m3u8"},
        {kFilesDropped, "C:\\a.txt"},
        {kHtmlDropped, "<p>b</p>"},
        {kUrlDropped, "http://127.0.0.1/b"},
        {kFilesDropped, "C:\\b.txt"},
    };
    EXPECT_EQ(expected, g_raised);
}

TEST_F(DropTargetDropTest, HtmlComesFromUtf8WithNoBreakSpacesAsSpaces) {
    LoadRegistered(Block(0, 1, 0, 0));
    DataObject html;
    // "<b>下载", U+00A0, "列表</b>" in UTF-8.
    html.AddText(HtmlFormat(), "<b>\xE4\xB8\x8B\xE8\xBD\xBD\xC2\xA0\xE5\x88\x97\xE8\xA1\xA8</b>");
    EXPECT_EQ(E_FAIL, DragAndDrop(&html).dropResult);
    EXPECT_EQ((std::vector<Raised>{{kHtmlDropped, "<b>下载 列表</b>"}}), g_raised);
}

TEST_F(DropTargetDropTest, AdapterAnswersOnlyForItsOwnInterfaces) {
    LoadRegistered(Block(0, 0, 0, 1));
    IDropTarget* target = TargetOf(target_);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(static_cast<IUnknown*>(target), unknown);
    const ULONG afterQuery = unknown->Release();
    EXPECT_EQ(afterQuery + 1, target->AddRef());
    EXPECT_EQ(afterQuery, target->Release());
    void* data = &data;
    EXPECT_EQ(E_NOINTERFACE, target->QueryInterface(IID_IDataObject, &data));
    EXPECT_EQ(nullptr, data);
}

TEST_F(DropTargetDropTest, ASecondRegistrationOfTheSameUnitIsRefused) {
    Load(Block(0, 0, 0, 1));
    EXPECT_TRUE(RegisterWindow(kUnitId, target_));
    EXPECT_FALSE(RegisterWindow(kUnitId, other_));
    EXPECT_FALSE(RegisterWindow(kUnitId, target_));
    EXPECT_NE(nullptr, TargetOf(target_));
    EXPECT_EQ(nullptr, TargetOf(other_));
}

TEST_F(DropTargetDropTest, ARegistrationOleRefusesSpendsTheUnit) {
    Load(Block(0, 0, 0, 1));
    HWND gone = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ::DestroyWindow(gone);
    EXPECT_FALSE(RegisterWindow(kUnitId, gone));
    EXPECT_FALSE(RegisterWindow(kUnitId, target_));
    EXPECT_EQ(nullptr, TargetOf(target_));
}

TEST_F(DropTargetDropTest, OnlyLoadedUnitsCanBeRegistered) {
    runtime::SetErrorHook(&SilentErrorHook);
    Load(Block(0, 0, 0, 1));
    EXPECT_EXIT(RegisterWindow(0x16000399, target_), ::testing::ExitedWithCode(-1), "unit missing");
    EXPECT_EXIT(
        {
            ::DestroyWindow(ui::FindWindowState(kWindowId)->hwnd);
            RegisterWindow(kUnitId, target_);
        },
        ::testing::ExitedWithCode(-1), "unit missing");
    runtime::SetErrorHook(nullptr);
}

TEST_F(DropTargetDropTest, AUnitWhoseWindowGoesRevokesAndTheEngineLetsGoOfIt) {
    LoadRegistered(Block(0, 0, 0, 1));
    ::DestroyWindow(Unit()->object->hwnd());
    EXPECT_EQ(nullptr, Unit()->object.get());
    EXPECT_EQ(nullptr, TargetOf(target_));
    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, ::RevokeDragDrop(target_));
}

TEST_F(DropTargetDropTest, ClosingTheWindowRevokes) {
    LoadRegistered(Block(0, 0, 0, 1));
    ::DestroyWindow(ui::FindWindowState(kWindowId)->hwnd);
    EXPECT_EQ(nullptr, TargetOf(target_));
    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, ::RevokeDragDrop(target_));
}

TEST_F(DropTargetDropTest, AUnitTheEngineDeletesRevokesAndTakesItsWindowAlong) {
    LoadRegistered(Block(0, 0, 0, 1));
    HWND window = Unit()->object->hwnd();
    Unit()->object.reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, TargetOf(target_));
}

}  // namespace
