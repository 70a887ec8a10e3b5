// The EditBox unit driven through its interface routines, on a real parent
// window that reflects control notifications as the window unit does.
#include "ui/units/edit_box.h"
#include "tests/support/unit_test_helpers.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "g_roundTripData.h"
#include "ui/event_dispatch.h"
#include "ui/template_reader.h"
#include "ui/unit_support.h"
#include "ui/window_lifecycle.h"
#include "ui/window_state.h"

namespace {

using EditBlock = ui::EditBoxBlock;

using unit_testing::FontRecord;

constexpr int32_t kContent = 8;
constexpr int32_t kBorder = 9;
constexpr int32_t kTextColour = 10;
constexpr int32_t kBackgroundColour = 11;
constexpr int32_t kFont = 12;
constexpr int32_t kMaxLength = 14;
constexpr int32_t kMultiLine = 15;
constexpr int32_t kHideSelection = 13;
constexpr int32_t kScrollBars = 16;
constexpr int32_t kAlignment = 17;
constexpr int32_t kInputMode = 18;
constexpr int32_t kPasswordChar = 19;
constexpr int32_t kCaseConversion = 20;
constexpr int32_t kSpinMode = 21;
constexpr int32_t kSpinMinimum = 22;
constexpr int32_t kSelectionStart = 24;
constexpr int32_t kSelectionLength = 25;
constexpr int32_t kSelectedText = 26;

constexpr uint32_t kControlId = 120;

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return unit_testing::RoutineOf<Routine>(ui::kEditBoxType, number);
}

using unit_testing::ExStyle;
using unit_testing::RectInParent;
using unit_testing::Style;

int MeasuredHeight(HFONT font) {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, "吴", 2, &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return size.cy;
}

class EditBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parent_ = host_.hwnd();
        ASSERT_NE(nullptr, parent_);
    }

    std::unique_ptr<ui::Unit> Create(const std::vector<uint8_t>& block, int32_t height = 24,
                                     uint32_t style = 0) {
        const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
        return std::unique_ptr<ui::Unit>(create(block.data(), static_cast<int32_t>(block.size()),
                                                style, parent_, kControlId, nullptr, 10, 20, 150,
                                                height, 0x52000001, 0x16000002, 0, 0));
    }

    static int32_t Set(ui::Unit* unit, int32_t property, uint32_t low, uint32_t high = 0) {
        return unit_testing::SetProperty(ui::kEditBoxType, unit, property, low, high);
    }
    static int32_t SetText(ui::Unit* unit, int32_t property, const char* text) {
        return Set(unit, property, reinterpret_cast<uint32_t>(text));
    }

    static uint32_t Get(ui::Unit* unit, int32_t property) {
        return unit_testing::GetProperty(ui::kEditBoxType, unit, property).low;
    }
    static std::string GetText(ui::Unit* unit, int32_t property) {
        const auto* text = reinterpret_cast<const char*>(Get(unit, property));
        return text ? text : "";
    }

    struct ColourAnswer {
        bool handled;
        COLORREF background;
        COLORREF text;
        COLORREF brush;
    };
    // Asked of the unit itself, as its parent's reflection would.
    static ColourAnswer AskColours(ui::Unit* unit, UINT message) {
        HWND edit = unit->hwnd();
        HDC dc = ::GetDC(edit);
        ColourAnswer answer{false, CLR_INVALID, CLR_INVALID, CLR_INVALID};
        const auto brush = reinterpret_cast<HBRUSH>(
            unit->OnReflected(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit),
                              &answer.handled));
        answer.background = ::GetBkColor(dc);
        answer.text = ::GetTextColor(dc);
        ::ReleaseDC(edit, dc);
        LOGBRUSH fill{};
        if (::GetObjectA(brush, sizeof fill, &fill)) answer.brush = fill.lbColor;
        return answer;
    }

    // Nothing here is a window the engine knows: events must go nowhere.
    ui::EventSuppression quiet_;
    unit_testing::ReflectingParent host_;
    HWND parent_ = nullptr;
};

TEST_F(EditBoxTest, EmptyBlockGivesASingleLineSunkenWhiteBoxInTheDefaultFont) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    EXPECT_EQ(kControlId, static_cast<uint32_t>(::GetDlgCtrlID(edit)));
    EXPECT_EQ(0u, Style(edit) & ES_MULTILINE);
    EXPECT_EQ(static_cast<DWORD>(ES_AUTOHSCROLL), Style(edit) & ES_AUTOHSCROLL);
    EXPECT_EQ(0u, Style(edit) & (WS_BORDER | ES_NOHIDESEL | ES_CENTER | ES_RIGHT));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_CLIENTEDGE),
              ExStyle(edit) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));
    EXPECT_EQ(ui::DefaultGuiFont().get(),
              reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
    EXPECT_GE(static_cast<uint32_t>(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
    EXPECT_EQ(nullptr, ::GetDlgItem(parent_, kControlId + 4));

    EXPECT_EQ(1u, Get(unit.get(), kBorder));
    EXPECT_EQ(0xFFFFFFu, Get(unit.get(), kBackgroundColour));
    EXPECT_EQ("*", GetText(unit.get(), kPasswordChar));
    EXPECT_EQ(100u, Get(unit.get(), 23));
    EXPECT_EQ("", GetText(unit.get(), kContent));

    const ColourAnswer colours = AskColours(unit.get(), WM_CTLCOLOREDIT);
    EXPECT_TRUE(colours.handled);
    EXPECT_EQ(0xFFFFFFu, colours.background);
    EXPECT_EQ(0u, colours.text);
    EXPECT_EQ(0xFFFFFFu, colours.brush);
}

TEST_F(EditBoxTest, ColoursAnswerTheControlColourMessages) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    Set(unit.get(), kBackgroundColour, 0x123456);
    Set(unit.get(), kTextColour, 0x0000FF);
    ColourAnswer colours = AskColours(unit.get(), WM_CTLCOLOREDIT);
    EXPECT_EQ(0x123456u, colours.background);
    EXPECT_EQ(0x0000FFu, colours.text);
    EXPECT_EQ(0x123456u, colours.brush);

    Set(unit.get(), kBackgroundColour, ui::kButtonFaceColour);
    Set(unit.get(), kInputMode, 1);  // read-only boxes ask as static controls
    colours = AskColours(unit.get(), WM_CTLCOLORSTATIC);
    EXPECT_TRUE(colours.handled);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), colours.background);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), colours.brush);
    EXPECT_EQ(ui::kButtonFaceColour, Get(unit.get(), kBackgroundColour));
}

TEST_F(EditBoxTest, SingleLineBoxGrowsToTheFontHeightAndMultiLineKeepsItsHeight) {
    const int wanted =
        MeasuredHeight(ui::DefaultGuiFont().get()) + 2 * ::GetSystemMetrics(SM_CYEDGE);
    auto single = Create({}, 10);
    ASSERT_NE(nullptr, single);
    const RECT grown = RectInParent(single->hwnd());
    EXPECT_EQ(wanted, grown.bottom - grown.top);
    EXPECT_EQ(150, grown.right - grown.left);
    EXPECT_EQ(10, grown.left);
    EXPECT_EQ(20, grown.top);

    auto tall = Create({}, wanted + 7);
    const RECT kept = RectInParent(tall->hwnd());
    EXPECT_EQ(wanted + 7, kept.bottom - kept.top);

    EditBlock block;
    block.multiLine = 1;
    auto multi = Create(block.Write(), 10);
    ASSERT_NE(nullptr, multi);
    const RECT low = RectInParent(multi->hwnd());
    EXPECT_EQ(10, low.bottom - low.top);
}

TEST_F(EditBoxTest, FontRecordIsAppliedAndTheBoxGrowsToIt) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    const std::string record = FontRecord(-30);
    Set(unit.get(), kFont, reinterpret_cast<uint32_t>(record.data()));

    const auto font = reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0));
    ASSERT_NE(ui::DefaultGuiFont().get(), font);
    LOGFONTA applied{};
    ::GetObjectA(font, sizeof applied, &applied);
    EXPECT_EQ(-30, applied.lfHeight);
    EXPECT_EQ(PROOF_QUALITY, applied.lfQuality);
    const RECT box = RectInParent(edit);
    EXPECT_EQ(MeasuredHeight(font) + 2 * ::GetSystemMetrics(SM_CYEDGE), box.bottom - box.top);
    const auto* stored = reinterpret_cast<const char*>(Get(unit.get(), kFont));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(record, std::string(stored, record.size()));

    Set(unit.get(), kFont, 0);
    EXPECT_EQ(ui::DefaultGuiFont().get(),
              reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
    EXPECT_EQ(0u, Get(unit.get(), kFont));
}

TEST_F(EditBoxTest, SpinControlHasTheOrderedRangeAndTheBoxIdentifierPlusFour) {
    EditBlock block;
    block.spinMode = 2;
    block.spinMinimum = 50;
    block.spinMaximum = 10;
    auto unit = Create(block.Write(), 24, WS_DISABLED);
    ASSERT_NE(nullptr, unit);
    HWND spin = ::GetDlgItem(parent_, kControlId + 4);
    ASSERT_NE(nullptr, spin);
    char className[32] = {};
    ::GetClassNameA(spin, className, sizeof className);
    EXPECT_STREQ("msctls_updown32", className);
    int low = -1, high = -1;
    ::SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                   reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(10, low);
    EXPECT_EQ(50, high);
    EXPECT_FALSE(::IsWindowEnabled(spin));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_STATICEDGE), ExStyle(spin) & WS_EX_STATICEDGE);

    Set(unit.get(), kSpinMinimum, static_cast<uint32_t>(-5));
    ::SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                   reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(-5, low);
    EXPECT_EQ(10, high);

    Set(unit.get(), kBorder, 2);
    EXPECT_EQ(0u, ExStyle(spin) & WS_EX_STATICEDGE);

    unit.reset();
    EXPECT_FALSE(::IsWindow(spin));
}

TEST_F(EditBoxTest, SpinControlFollowsTheBox) {
    EditBlock block;
    block.spinMode = 1;
    auto unit = Create(block.Write());
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    HWND spin = ::GetDlgItem(parent_, kControlId + 4);
    ASSERT_NE(nullptr, spin);
    EXPECT_EQ(0u, Style(spin) & WS_VISIBLE);

    ::ShowWindow(edit, SW_SHOWNA);
    EXPECT_EQ(static_cast<DWORD>(WS_VISIBLE), Style(spin) & WS_VISIBLE);

    ::SetWindowPos(edit, nullptr, 40, 50, 100, 30, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT spinRect = RectInParent(spin);
    EXPECT_EQ(140, spinRect.left);
    EXPECT_EQ(50, spinRect.top);
    EXPECT_EQ(30, spinRect.bottom - spinRect.top);

    ::EnableWindow(edit, FALSE);
    EXPECT_FALSE(::IsWindowEnabled(spin));
    ::EnableWindow(edit, TRUE);
    EXPECT_TRUE(::IsWindowEnabled(spin));

    ::ShowWindow(edit, SW_HIDE);
    EXPECT_EQ(0u, Style(spin) & WS_VISIBLE);

    // Mode 1 writes the spin position into the box.
    ::SendMessageA(spin, UDM_SETPOS32, 0, 42);
    EXPECT_EQ("42", GetText(unit.get(), kContent));
}

TEST_F(EditBoxTest, SelectionFollowsTheMinusOneRules) {
    EditBlock block;
    block.content = "中文abc";
    block.selectionLength = -1;
    auto unit = Create(block.Write());
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(0u, Get(unit.get(), kSelectionStart));
    EXPECT_EQ(5u, Get(unit.get(), kSelectionLength));
    EXPECT_EQ("中文abc", GetText(unit.get(), kSelectedText));

    Set(unit.get(), kSelectionStart, static_cast<uint32_t>(-1));
    EXPECT_EQ(5u, Get(unit.get(), kSelectionStart));
    EXPECT_EQ(0u, Get(unit.get(), kSelectionLength));

    Set(unit.get(), kSelectionStart, 1);
    Set(unit.get(), kSelectionLength, 2);
    EXPECT_EQ("文a", GetText(unit.get(), kSelectedText));
    Set(unit.get(), kSelectionLength, static_cast<uint32_t>(-7));
    EXPECT_EQ(1u, Get(unit.get(), kSelectionStart));
    EXPECT_EQ(0u, Get(unit.get(), kSelectionLength));

    Set(unit.get(), kSelectionLength, static_cast<uint32_t>(-1));
    EXPECT_EQ(0u, Get(unit.get(), kSelectionStart));
    EXPECT_EQ(5u, Get(unit.get(), kSelectionLength));

    Set(unit.get(), kSelectionStart, 2);
    Set(unit.get(), kSelectionLength, 1);
    SetText(unit.get(), kSelectedText, "-");
    EXPECT_EQ("中文-bc", GetText(unit.get(), kContent));
}

TEST_F(EditBoxTest, ContentIsWrittenToAndReadFromTheControl) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(0, SetText(unit.get(), kContent, "output 输出"));
    EXPECT_EQ("output 输出", unit_testing::WindowText(unit->hwnd()));
    ::SetWindowTextA(unit->hwnd(), "typed");
    EXPECT_EQ("typed", GetText(unit.get(), kContent));
    Set(unit.get(), kContent, 0);
    EXPECT_EQ("", GetText(unit.get(), kContent));
}

TEST_F(EditBoxTest, MultiLineAsksForRecreationAndTheWrittenBlockRebuildsIt) {
    auto unit = Create({}, 60);
    ASSERT_NE(nullptr, unit);
    SetText(unit.get(), kContent, "第一行");
    EXPECT_FALSE(RoutineOf<ui::KeyFilterRoutine>(ui::routine::kKeyFilter)(unit.get()));
    EXPECT_EQ(0, Set(unit.get(), kMultiLine, 0));
    EXPECT_EQ(1, Set(unit.get(), kMultiLine, 1));
    EXPECT_EQ(0, Set(unit.get(), kMultiLine, 1));
    // Every option the control takes only at creation asks for it on a change.
    for (const auto& option : {std::pair<int32_t, uint32_t>{kScrollBars, 2},
                               {kHideSelection, 0},
                               {kAlignment, 2},
                               {kCaseConversion, 2},
                               {kSpinMode, 1}}) {
        EXPECT_EQ(1, Set(unit.get(), option.first, option.second)) << option.first;
        EXPECT_EQ(0, Set(unit.get(), option.first, option.second)) << option.first;
    }

    const std::vector<uint8_t> block =
        RoutineOf<ui::WriteTypeBlockRoutine>(ui::routine::kWriteTypeBlock)(unit.get());
    unit.reset();
    auto rebuilt = Create(block, 60);
    ASSERT_NE(nullptr, rebuilt);
    HWND edit = rebuilt->hwnd();
    EXPECT_EQ(static_cast<DWORD>(ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | ES_NOHIDESEL |
                                 ES_RIGHT | ES_UPPERCASE),
              Style(edit) & (ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | ES_NOHIDESEL |
                             ES_RIGHT | ES_UPPERCASE | ES_LOWERCASE));
    EXPECT_EQ("第一行", GetText(rebuilt.get(), kContent));
    const RECT rect = RectInParent(edit);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(60, rect.bottom - rect.top);
    EXPECT_TRUE(RoutineOf<ui::KeyFilterRoutine>(ui::routine::kKeyFilter)(rebuilt.get()));
    Set(rebuilt.get(), kInputMode, 1);
    EXPECT_FALSE(RoutineOf<ui::KeyFilterRoutine>(ui::routine::kKeyFilter)(rebuilt.get()));
}

TEST_F(EditBoxTest, ChoicesAreClampedIntoTheirRange) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    EXPECT_EQ(0, Set(unit.get(), kBorder, 9));
    EXPECT_EQ(5u, Get(unit.get(), kBorder));
    EXPECT_EQ(static_cast<DWORD>(WS_BORDER), Style(edit) & WS_BORDER);
    EXPECT_EQ(0u, ExStyle(edit) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));
    Set(unit.get(), kBorder, 4);
    EXPECT_EQ(0u, Style(edit) & WS_BORDER);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME),
              ExStyle(edit) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));

    EXPECT_EQ(0, Set(unit.get(), kAlignment, static_cast<uint32_t>(-1)));
    EXPECT_EQ(0u, Get(unit.get(), kAlignment));
    EXPECT_EQ(1, Set(unit.get(), kAlignment, 7));
    EXPECT_EQ(2u, Get(unit.get(), kAlignment));
    EXPECT_EQ(1, Set(unit.get(), kScrollBars, 40));
    EXPECT_EQ(3u, Get(unit.get(), kScrollBars));
    EXPECT_EQ(0, Set(unit.get(), kInputMode, 99));
    EXPECT_EQ(11u, Get(unit.get(), kInputMode));
    EXPECT_EQ(1, Set(unit.get(), 21, 3));
    EXPECT_EQ(2u, Get(unit.get(), 21));
}

TEST_F(EditBoxTest, LengthLimitPasswordAndReadOnlyApplyToTheLiveControl) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    Set(unit.get(), kMaxLength, 10);
    EXPECT_EQ(10, ::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    Set(unit.get(), kMaxLength, static_cast<uint32_t>(-5));
    EXPECT_EQ(0u, Get(unit.get(), kMaxLength));
    EXPECT_GE(static_cast<uint32_t>(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);

    Set(unit.get(), kInputMode, 2);
    EXPECT_EQ('*', ::SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0));
    SetText(unit.get(), kPasswordChar, "#x");
    EXPECT_EQ('#', ::SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ("#", GetText(unit.get(), kPasswordChar));
    Set(unit.get(), kInputMode, 1);
    EXPECT_EQ(0, ::SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ES_READONLY), Style(edit) & ES_READONLY);
    Set(unit.get(), kInputMode, 0);
    EXPECT_EQ(0u, Style(edit) & ES_READONLY);

    EditBlock block;
    block.inputMode = 2;
    block.passwordChar = '@';
    block.maxLength = 6;
    auto password = Create(block.Write());
    ASSERT_NE(nullptr, password);
    EXPECT_EQ('@', ::SendMessageA(password->hwnd(), EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ(6, ::SendMessageA(password->hwnd(), EM_GETLIMITTEXT, 0, 0));
}

TEST_F(EditBoxTest, NewerOrTruncatedBlocksAreRefused) {
    EditBlock block;
    EXPECT_EQ(nullptr, Create(unit_testing::AsVersion(block.Write(), 3)));

    block.content = "v1";
    // Version 1 has no further texts: two empty counted texts fewer.
    auto older = Create(unit_testing::AsVersion(block.Write(), 1, 8));
    ASSERT_NE(nullptr, older);
    EXPECT_EQ("v1", GetText(older.get(), kContent));

    block.font = FontRecord(-12);
    block.content = "output";
    const std::vector<uint8_t> whole = block.Write();
    ASSERT_NE(nullptr, Create(whole));
    for (size_t length = 1; length < whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(),
                                       whole.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_EQ(nullptr, Create(cut)) << "cut at " << length << " of " << whole.size();
    }

    std::vector<uint8_t> huge = whole;
    const size_t fontLength = whole.size() - (4 + 60) - (4 + 6) - 4 - 4;
    std::memset(huge.data() + fontLength, 0xFF, 4);
    EXPECT_EQ(nullptr, Create(huge));
}

// Mode 5 (integer): letters typed or pasted never arrive; on losing the
// focus the text becomes the plain number, the caret where it was.
TEST_F(EditBoxTest, AnIntegerBoxTakesOnlyItsCharactersAndReformatsOnLeaving) {
    EditBlock block;
    block.inputMode = 5;
    auto unit = Create(block.Write());
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    for (const char c : std::string("a0x7-2")) ::SendMessageA(edit, WM_CHAR, c, 0);
    EXPECT_EQ("07-2", GetText(unit.get(), kContent));

    const std::string pasted = "3y\r\n4";
    ASSERT_TRUE(::OpenClipboard(edit));
    ::EmptyClipboard();
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
    std::memcpy(::GlobalLock(copy), pasted.c_str(), pasted.size() + 1);
    ::GlobalUnlock(copy);
    ::SetClipboardData(CF_TEXT, copy);
    ::CloseClipboard();
    ::SendMessageA(edit, EM_SETSEL, 1, 1);
    ::SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ("0347-2", GetText(unit.get(), kContent));

    ::SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(kControlId, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ("347", GetText(unit.get(), kContent));
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(3u, start);

    // Back to normal input, anything goes and nothing is reformatted.
    Set(unit.get(), kInputMode, 0);
    ::SendMessageA(edit, WM_CHAR, 'z', 0);
    ::SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(kControlId, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ("347z", GetText(unit.get(), kContent));
}

TEST_F(EditBoxTest, DeletingTheUnitDestroysItsControls) {
    EditBlock block;
    block.spinMode = 1;
    auto unit = Create(block.Write());
    ASSERT_NE(nullptr, unit);
    HWND edit = unit->hwnd();
    HWND spin = ::GetDlgItem(parent_, kControlId + 4);
    unit.reset();
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_FALSE(::IsWindow(spin));
}

// A box whose control goes first (its parent went) takes the unit along and
// tells the runtime, whose engine lets go of it; the window then closes
// cleanly without the unit.
TEST(EditBoxInAWindow, AControlThatGoesFirstTakesItsUnitAlong) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_roundTripData, g_roundTripDataLength, nullptr, &segment));
    ASSERT_TRUE(ui::BuildWindowStates({segment.windows[1]}));
    ASSERT_TRUE(ui::LoadWindowFromTemplate(0x52010002, false, false, nullptr));
    ui::WindowState* window = ui::FindWindowState(0x52010002);
    ui::LiveUnit* box = window->FindUnit(0x16000011);
    ASSERT_TRUE(box && box->object);
    ::DestroyWindow(box->object->hwnd());
    EXPECT_EQ(nullptr, box->object.get());
    ::DestroyWindow(window->hwnd);
    EXPECT_FALSE(window->IsOpen());
    ui::BuildWindowStates({});
}

}  // namespace
