// The TransLabel unit driven through its interface routines: its block and
// properties, what it draws (through WM_PRINTCLIENT into a bitmap filled with
// a background) and what a parent shows around it on the screen.
#include "ui/units/trans_label.h"
#include "tests/support/unit_test_helpers.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/event_dispatch.h"
#include "ui/unit_support.h"

namespace {

using LabelBlock = ui::TransLabelBlock;

using unit_testing::FontRecord;
using unit_testing::Pixels;

constexpr int32_t kText = 8;
constexpr int32_t kTextEffect = 9;
constexpr int32_t kFont = 10;
constexpr int32_t kTextColour = 11;
constexpr int32_t kHorizontalAlign = 12;
constexpr int32_t kWordWrap = 13;
constexpr int32_t kVerticalAlign = 14;

constexpr uint32_t kControlId = 140;
constexpr int kWidth = 160;
constexpr int kHeight = 40;
// Pixels are 0x00RRGGBB; the parent's background is a green no text uses.
constexpr uint32_t kBackground = 0x008000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kPanel = 0x0000C0;

COLORREF Colour(uint32_t pixel) { return RGB(pixel >> 16, (pixel >> 8) & 0xFF, pixel & 0xFF); }

std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

RECT Moved(RECT r, int dx, int dy) {
    ::OffsetRect(&r, dx, dy);
    return r;
}

struct TextPass {
    int dx, dy;
    uint32_t colour;
};

// A one-line left-aligned, vertically centred text in the default GUI font,
// drawn in passes of offset and colour over the background.
std::unique_ptr<Pixels> Drawn(const char* text, const std::vector<TextPass>& passes) {
    auto pixels = std::make_unique<Pixels>(kWidth, kHeight, kBackground);
    HGDIOBJ previous = ::SelectObject(pixels->dc(), ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(pixels->dc(), TRANSPARENT);
    for (const TextPass& pass : passes) {
        ::SetTextColor(pixels->dc(), Colour(pass.colour));
        RECT area{pass.dx, pass.dy, kWidth + pass.dx, kHeight + pass.dy};
        ::DrawTextA(pixels->dc(), text, -1, &area, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
    }
    ::SelectObject(pixels->dc(), previous);
    return pixels;
}

int Differences(const Pixels& actual, const Pixels& expected) {
    int count = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) count += actual.At(x, y) != expected.At(x, y);
    }
    return count;
}

#define EXPECT_RECT_EQ(expected, actual) EXPECT_EQ(Describe(expected), Describe(actual))

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return reinterpret_cast<Routine>(ui::kTransLabelType.interfaceRoutine(number));
}

class TransLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &::DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.hbrBackground = ::CreateSolidBrush(Colour(kBackground));
        windowClass.lpszClassName = "VelmoraTransLabelTestParent";
        ::RegisterClassA(&windowClass);
        windowClass.hbrBackground = ::CreateSolidBrush(Colour(kPanel));
        windowClass.lpszClassName = "VelmoraTransLabelTestPanel";
        ::RegisterClassA(&windowClass);
        // Clipping children as the engine's windows do.
        parent_ =
            ::CreateWindowExA(0, "VelmoraTransLabelTestParent", "", WS_POPUP | WS_CLIPCHILDREN, 0,
                              0, 300, 200, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(nullptr, parent_);
    }
    void TearDown() override { ::DestroyWindow(parent_); }

    std::unique_ptr<ui::Unit> Create(const std::vector<uint8_t>& block, uint32_t style = 0,
                                     int left = 10, int top = 20) {
        const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
        return std::unique_ptr<ui::Unit>(create(block.data(), static_cast<int32_t>(block.size()),
                                                style, parent_, kControlId, nullptr, left, top,
                                                kWidth, kHeight, 0x52000001, 0x16000004, 0, 0));
    }
    std::unique_ptr<ui::Unit> CreateWith(const LabelBlock& block) { return Create(block.Write()); }

    static int32_t Set(ui::Unit* unit, int32_t property, uint32_t low, uint32_t high = 0) {
        return unit_testing::SetProperty(ui::kTransLabelType, unit, property, low, high);
    }
    static uint32_t Get(ui::Unit* unit, int32_t property) {
        return unit_testing::GetProperty(ui::kTransLabelType, unit, property).low;
    }

    // What the label draws over the parent's background.
    static std::unique_ptr<Pixels> Render(ui::Unit* unit) {
        auto pixels = std::make_unique<Pixels>(kWidth, kHeight, kBackground);
        ::SendMessageA(unit->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pixels->dc()),
                       PRF_CLIENT);
        return pixels;
    }

    // The parent's client area as the screen shows it.
    std::unique_ptr<Pixels> Screen() const {
        ::UpdateWindow(parent_);
        RECT client;
        ::GetClientRect(parent_, &client);
        auto pixels = std::make_unique<Pixels>(client.right, client.bottom, 0xDEAD);
        // Without DCX_CLIPCHILDREN, so that the children's pixels are read too.
        HDC dc = ::GetDCEx(parent_, nullptr, DCX_CACHE);
        ::BitBlt(pixels->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(parent_, dc);
        return pixels;
    }

    ui::EventSuppression quiet_;
    HWND parent_ = nullptr;
};

TEST_F(TransLabelTest, EmptyBlockGivesATransparentWindowWithTheDefaults) {
    auto unit = Create({}, WS_DISABLED);
    ASSERT_NE(nullptr, unit);
    HWND label = unit->hwnd();
    EXPECT_EQ("透明标签", unit_testing::WindowText(label));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TRANSPARENT),
              unit_testing::ExStyle(label) & WS_EX_TRANSPARENT);
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED),
              unit_testing::Style(label) & (WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED | WS_VISIBLE));
    EXPECT_EQ(static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS),
              ::GetClassLongA(label, GCL_STYLE));
    EXPECT_EQ(::GetStockObject(NULL_BRUSH),
              reinterpret_cast<HGDIOBJ>(::GetClassLongPtrA(label, GCLP_HBRBACKGROUND)));
    EXPECT_EQ(kControlId, static_cast<uint32_t>(::GetDlgCtrlID(label)));
    RECT client;
    ::GetClientRect(label, &client);
    EXPECT_EQ(kWidth, client.right);

    EXPECT_STREQ("透明标签", reinterpret_cast<const char*>(Get(unit.get(), kText)));
    EXPECT_EQ(0u, Get(unit.get(), kTextEffect));
    EXPECT_EQ(0u, Get(unit.get(), kFont));
    EXPECT_EQ(0u, Get(unit.get(), kTextColour));
    EXPECT_EQ(0u, Get(unit.get(), kHorizontalAlign));
    EXPECT_EQ(0u, Get(unit.get(), kWordWrap));
    EXPECT_EQ(1u, Get(unit.get(), kVerticalAlign));
}

TEST_F(TransLabelTest, BlockStoresVerticalAlignBeforeWordWrapAndIsWrittenBackAlike) {
    LabelBlock block;
    block.textEffect = 2;
    block.textColour = 0x112233;
    block.horizontalAlign = 1;
    block.verticalAlign = 2;
    block.wordWrap = 1;
    block.font = FontRecord(-20);
    block.text = "M3U8地址：";
    auto unit = CreateWith(block);
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(2u, Get(unit.get(), kVerticalAlign));
    EXPECT_EQ(1u, Get(unit.get(), kWordWrap));
    EXPECT_EQ(0x112233u, Get(unit.get(), kTextColour));
    ui::PropertyValue font;
    ASSERT_TRUE(RoutineOf<ui::GetPropertyRoutine>(ui::routine::kGetProperty)(unit.get(), 2, &font));
    EXPECT_EQ(60u, font.high);
    EXPECT_EQ(block.font, std::string(reinterpret_cast<const char*>(font.low), font.high));
    const auto write = RoutineOf<ui::WriteTypeBlockRoutine>(ui::routine::kWriteTypeBlock);
    EXPECT_EQ(block.Write(), write(unit.get()));

    EXPECT_EQ(nullptr, Create(unit_testing::AsVersion(block.Write(), 2)));
    std::vector<uint8_t> truncated = block.Write();
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(nullptr, Create(truncated));
}

TEST_F(TransLabelTest, SetClampsChoicesAndNeverAsksForRecreation) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(0, Set(unit.get(), kTextEffect, 7));
    EXPECT_EQ(3u, Get(unit.get(), kTextEffect));
    Set(unit.get(), kTextEffect, static_cast<uint32_t>(-1));
    EXPECT_EQ(0u, Get(unit.get(), kTextEffect));
    Set(unit.get(), kHorizontalAlign, static_cast<uint32_t>(-5));
    EXPECT_EQ(0u, Get(unit.get(), kHorizontalAlign));
    Set(unit.get(), kHorizontalAlign, 9);
    EXPECT_EQ(2u, Get(unit.get(), kHorizontalAlign));
    Set(unit.get(), kVerticalAlign, 3);
    EXPECT_EQ(2u, Get(unit.get(), kVerticalAlign));
    Set(unit.get(), kWordWrap, 2);
    EXPECT_EQ(2u, Get(unit.get(), kWordWrap));
    Set(unit.get(), kTextColour, 0xFF000000);
    EXPECT_EQ(0xFF000000u, Get(unit.get(), kTextColour));

    EXPECT_EQ(0, Set(unit.get(), kText, reinterpret_cast<uint32_t>("输出文件：")));
    EXPECT_EQ("输出文件：", unit_testing::WindowText(unit->hwnd()));
    Set(unit.get(), kText, 0);
    EXPECT_EQ(0, ::GetWindowTextLengthA(unit->hwnd()));

    const std::string font = FontRecord(-30);
    Set(unit.get(), kFont, reinterpret_cast<uint32_t>(font.data()), 60);
    const auto* stored = reinterpret_cast<const char*>(Get(unit.get(), kFont));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(font, std::string(stored, 60));
    Set(unit.get(), kFont, 0);
    EXPECT_EQ(0u, Get(unit.get(), kFont));

    ui::PropertyValue value;
    EXPECT_FALSE(
        RoutineOf<ui::GetPropertyRoutine>(ui::routine::kGetProperty)(unit.get(), 7, &value));
}

TEST_F(TransLabelTest, EmptyTextDrawsNothingAtAll) {
    for (uint32_t effect : {0u, 1u, 2u, 3u}) {
        LabelBlock block;
        block.text = "";
        block.textEffect = effect;
        auto unit = CreateWith(block);
        ASSERT_NE(nullptr, unit);
        EXPECT_RECT_EQ(RECT{}, Render(unit.get())->BoundsOf(kBackground, true))
            << "effect " << effect;
    }
}

TEST_F(TransLabelTest, EffectsDrawCopiesAndEffectTwoMovesTheText) {
    LabelBlock block;
    block.text = "Velmora";
    block.textColour = RGB(255, 0, 0);
    auto unit = CreateWith(block);
    ASSERT_NE(nullptr, unit);
    auto plainText = Render(unit.get());
    // Fully covered pixels have the text colour whatever lies beneath.
    const RECT plain = plainText->BoundsOf(kRed);
    ASSERT_FALSE(::IsRectEmpty(&plain));
    EXPECT_EQ(0, Differences(*plainText, *Drawn(block.text.c_str(), {{0, 0, kRed}})));

    Set(unit.get(), kTextEffect, 1);  // raised: white copy at +1,+1 beneath
    auto raised = Render(unit.get());
    EXPECT_RECT_EQ(plain, raised->BoundsOf(kRed));
    EXPECT_EQ(0, Differences(*raised, *Drawn(block.text.c_str(), {{1, 1, kWhite}, {0, 0, kRed}})));

    Set(unit.get(), kTextEffect, 2);  // sunken: white copy in place, text at +1,+1
    auto sunken = Render(unit.get());
    EXPECT_RECT_EQ(Moved(plain, 1, 1), sunken->BoundsOf(kRed));
    EXPECT_EQ(0, Differences(*sunken, *Drawn(block.text.c_str(), {{0, 0, kWhite}, {1, 1, kRed}})));

    Set(unit.get(), kTextEffect, 3);  // shadow: black copy at +2,+2
    auto shadow = Render(unit.get());
    EXPECT_RECT_EQ(plain, shadow->BoundsOf(kRed));
    EXPECT_EQ(0, Differences(*shadow, *Drawn(block.text.c_str(), {{2, 2, kBlack}, {0, 0, kRed}})));
}

TEST_F(TransLabelTest, AlignmentsAndWrapPlaceTheText) {
    LabelBlock block;
    block.text = "abc";
    block.verticalAlign = 0;
    auto unit = CreateWith(block);
    ASSERT_NE(nullptr, unit);
    const RECT topLeft = Render(unit.get())->BoundsOf(kBackground, true);
    ASSERT_FALSE(::IsRectEmpty(&topLeft));
    EXPECT_LE(topLeft.left, 2);
    EXPECT_LE(topLeft.top, 4);
    const int textWidth = topLeft.right - topLeft.left;

    Set(unit.get(), kHorizontalAlign, 2);
    Set(unit.get(), kVerticalAlign, 2);
    const RECT bottomRight = Render(unit.get())->BoundsOf(kBackground, true);
    EXPECT_GE(bottomRight.right, kWidth - 2) << Describe(bottomRight);
    EXPECT_GE(bottomRight.bottom, kHeight - 6) << Describe(bottomRight);
    EXPECT_EQ(textWidth, bottomRight.right - bottomRight.left);

    Set(unit.get(), kHorizontalAlign, 1);
    Set(unit.get(), kVerticalAlign, 1);
    const RECT centred = Render(unit.get())->BoundsOf(kBackground, true);
    EXPECT_NEAR(kWidth / 2, (centred.left + centred.right) / 2, 2) << Describe(centred);
    EXPECT_NEAR(kHeight / 2, (centred.top + centred.bottom) / 2, 3) << Describe(centred);

    // Wrapping breaks a long text into lines whatever VerticalAlign says;
    // a WordWrap of 2 is no wrap.
    const char* longText = "wrap wrap wrap wrap wrap wrap wrap wrap wrap";
    Set(unit.get(), kText, reinterpret_cast<uint32_t>(longText));
    Set(unit.get(), kVerticalAlign, 0);
    Set(unit.get(), kWordWrap, 2);
    const RECT single = Render(unit.get())->BoundsOf(kBackground, true);
    Set(unit.get(), kWordWrap, 1);
    const RECT wrapped = Render(unit.get())->BoundsOf(kBackground, true);
    EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (single.bottom - single.top) - 2)
        << Describe(single) << " " << Describe(wrapped);
    EXPECT_LE(wrapped.right, kWidth);

    // A 60-byte font record makes taller letters; other lengths fall back.
    Set(unit.get(), kWordWrap, 0);
    Set(unit.get(), kText, reinterpret_cast<uint32_t>("abc"));
    const std::string font = FontRecord(-32);
    Set(unit.get(), kFont, reinterpret_cast<uint32_t>(font.data()), 60);
    const RECT large = Render(unit.get())->BoundsOf(kBackground, true);
    EXPECT_GT(large.bottom - large.top, topLeft.bottom - topLeft.top + 8) << Describe(large);
    Set(unit.get(), kFont, reinterpret_cast<uint32_t>(font.data()), 59);
    const RECT fallback = Render(unit.get())->BoundsOf(kBackground, true);
    EXPECT_EQ(topLeft.bottom - topLeft.top, fallback.bottom - fallback.top) << Describe(fallback);
}

TEST_F(TransLabelTest, MovingTheLabelLeavesNoTraceAndShowsWhatLiesBeneath) {
    LabelBlock block;
    block.text = "Velmora moves";
    auto unit = Create(block.Write(), WS_VISIBLE);
    ASSERT_NE(nullptr, unit);
    // A panel below the label's new place: child windows created later lie
    // lower in the Z order.
    HWND panel = ::CreateWindowExA(0, "VelmoraTransLabelTestPanel", "",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 100, 300, 60,
                                   parent_, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, panel);
    ASSERT_EQ(unit->hwnd(), ::GetWindow(parent_, GW_CHILD));
    ::ShowWindow(parent_, SW_SHOWNOACTIVATE);
    const RECT before{10, 20, 10 + kWidth, 20 + kHeight};
    const RECT after{20, 110, 20 + kWidth, 110 + kHeight};

    auto shown = Screen();
    const RECT text = shown->BoundsOf(kBackground, true, before);
    ASSERT_FALSE(::IsRectEmpty(&text)) << "the text shows over the parent";
    EXPECT_RECT_EQ(RECT{}, shown->BoundsOf(kBackground, true, RECT{0, 0, 300, 20}));

    ::SetWindowPos(unit->hwnd(), nullptr, after.left, after.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto moved = Screen();
    EXPECT_RECT_EQ(RECT{}, moved->BoundsOf(kBackground, true, before));
    // Over the panel: its colour between the letters, none of the parent's.
    EXPECT_RECT_EQ(RECT{}, moved->BoundsOf(kBackground, false, after));
    const RECT letters = moved->BoundsOf(kPanel, true, after);
    EXPECT_RECT_EQ(Moved(text, after.left - before.left, after.top - before.top), letters);

    // A later text change renews the panel under the old letters.
    Set(unit.get(), kText, reinterpret_cast<uint32_t>("V"));
    auto changed = Screen();
    const RECT newLetters = changed->BoundsOf(kPanel, true, after);
    EXPECT_LT(newLetters.right - newLetters.left, letters.right - letters.left)
        << Describe(newLetters);
}

}  // namespace
