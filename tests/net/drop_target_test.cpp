// The DropTarget unit: created on its own through its interface routine, and
// registered for a window of ours through the library's command.
#include "tests/net/drop_fixture.h"

namespace {

using namespace drop_test;

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
        return unit_testing::SetProperty(drag_drop::kDropTargetType, unit, property, value);
    }
    static uint32_t Get(ui::Unit* unit, int32_t property) {
        return unit_testing::GetProperty(drag_drop::kDropTargetType, unit, property).low;
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
    EXPECT_EQ(
        static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED),
        unit_testing::Style(window) & (WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED | WS_VISIBLE));
    EXPECT_EQ(0u, unit_testing::ExStyle(window));
    EXPECT_EQ(150, ::GetDlgCtrlID(window));
    EXPECT_EQ(parent_, ::GetParent(window));
    const RECT rect = unit_testing::RectInParent(window);
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

// A button-face field in a black frame, the mark centred in it; in a window
// smaller than the mark, the mark at the corner under the frame.
TEST_F(DropTargetUnitTest, PaintsItsMarkInAButtonFaceBoxInABlackFrame) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND window = unit->hwnd();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const auto paintedAt = [window](int width, int height) {
        ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        std::vector<COLORREF> pixels;
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pixels.push_back(::GetPixel(memory, x, y));
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return pixels;
    };

    // 26 x 26: the 16 x 16 mark from (5, 5); its falling arrow's shaft is
    // columns 6 to 9 of rows 1 to 4, the tray's floor rows 13 and 14.
    std::vector<COLORREF> pixels = paintedAt(26, 26);
    const auto at = [&pixels](int x, int y) { return pixels[static_cast<size_t>(y) * 26 + x]; };
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(RGB(0, 0, 0), at(k, 0));
        EXPECT_EQ(RGB(0, 0, 0), at(0, k));
        EXPECT_EQ(RGB(0, 0, 0), at(k, 25));
        EXPECT_EQ(RGB(0, 0, 0), at(25, k));
    }
    EXPECT_EQ(face, at(2, 2));
    EXPECT_EQ(face, at(5 + 5, 5 + 1));
    EXPECT_EQ(RGB(0, 0, 0), at(5 + 6, 5 + 1));
    EXPECT_EQ(RGB(0, 0, 0), at(5 + 9, 5 + 4));
    EXPECT_EQ(RGB(0, 0, 0), at(5 + 8, 5 + 14));
    EXPECT_EQ(face, at(5 + 8, 5 + 11));

    // 12 x 12: the mark from the corner, the frame over it.
    pixels = paintedAt(12, 12);
    const auto small = [&pixels](int x, int y) { return pixels[static_cast<size_t>(y) * 12 + x]; };
    EXPECT_EQ(RGB(0, 0, 0), small(6, 1));
    EXPECT_EQ(face, small(5, 1));
    EXPECT_EQ(RGB(0, 0, 0), small(11, 6));
    EXPECT_EQ(RGB(0, 0, 0), small(6, 11));
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
