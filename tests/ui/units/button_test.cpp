// The Button unit driven through its interface routines, on a real parent
// window that reflects control notifications as the window unit does.
#include "ui/units/button.h"
#include "tests/support/unit_test_helpers.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/units/picture/image_references.h"
#include "ui/event_dispatch.h"
#include "ui/unit_support.h"
#include "ui/units/picture/decoded_image.h"

namespace {

using ui::ButtonBlock;

constexpr int32_t kPicture = 8;
constexpr int32_t kType = 9;
constexpr int32_t kCaption = 10;
constexpr int32_t kHorizontalAlignment = 11;
constexpr int32_t kVerticalAlignment = 12;
constexpr int32_t kFont = 13;

constexpr uint32_t kControlId = 130;
constexpr DWORD kAlignmentBits = 0x0F00;

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return unit_testing::RoutineOf<Routine>(ui::kButtonType, number);
}

using unit_testing::RectInParent;
using unit_testing::Style;
using unit_testing::WindowText;

class ButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parent_ = host_.hwnd();
        ASSERT_NE(nullptr, parent_);
    }

    std::unique_ptr<ui::Unit> Create(const std::vector<uint8_t>& block, uint32_t style = 0) {
        const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
        return std::unique_ptr<ui::Unit>(create(block.data(), static_cast<int32_t>(block.size()),
                                                style, parent_, kControlId, nullptr, 30, 40, 90, 25,
                                                0x52000001, 0x16000003, 0, 0));
    }

    static int32_t Set(ui::Unit* unit, int32_t property, uint32_t low, uint32_t high = 0) {
        return unit_testing::SetProperty(ui::kButtonType, unit, property, low, high);
    }
    static ui::PropertyValue Get(ui::Unit* unit, int32_t property) {
        return unit_testing::GetProperty(ui::kButtonType, unit, property);
    }
    static std::string Caption(ui::Unit* unit) {
        const auto* text = reinterpret_cast<const char*>(Get(unit, kCaption).low);
        return text ? text : "";
    }
    static bool IsDefault(ui::Unit* unit) {
        return RoutineOf<ui::DefaultButtonRoutine>(ui::routine::kDefaultButtonTest)(unit);
    }

    // Nothing here is a window the engine knows: events must go nowhere.
    ui::EventSuppression quiet_;
    unit_testing::ReflectingParent host_;
    HWND parent_ = nullptr;
};

TEST_F(ButtonTest, EmptyBlockGivesACentredPushButtonWithEmptyCaption) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND button = unit->hwnd();
    char className[16] = {};
    ::GetClassNameA(button, className, sizeof className);
    EXPECT_STREQ("Button", className);
    EXPECT_EQ(kControlId, static_cast<uint32_t>(::GetDlgCtrlID(button)));
    EXPECT_EQ(static_cast<DWORD>(BS_PUSHBUTTON), Style(button) & BS_TYPEMASK);
    EXPECT_EQ(static_cast<DWORD>(BS_CENTER | BS_VCENTER), Style(button) & kAlignmentBits);
    EXPECT_EQ(static_cast<DWORD>(BS_MULTILINE | WS_CHILD),
              Style(button) & (BS_MULTILINE | WS_CHILD));
    EXPECT_EQ("", WindowText(button));
    EXPECT_EQ(ui::DefaultGuiFont().get(),
              reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0)));
    EXPECT_EQ("", Caption(unit.get()));
    EXPECT_EQ(0u, Get(unit.get(), kType).low);
    EXPECT_EQ(1u, Get(unit.get(), kHorizontalAlignment).low);
    EXPECT_EQ(1u, Get(unit.get(), kVerticalAlignment).low);
    EXPECT_EQ(0u, Get(unit.get(), kPicture).high);
    EXPECT_FALSE(IsDefault(unit.get()));
}

TEST_F(ButtonTest, TemplateBlockAndStyleBitsShapeTheControl) {
    ButtonBlock block;
    block.caption = "开始";
    block.type = 1;
    block.horizontalAlignment = 2;
    block.verticalAlignment = 0;
    auto unit = Create(block.Write(), WS_DISABLED | WS_TABSTOP | BS_LEFT);
    ASSERT_NE(nullptr, unit);
    HWND button = unit->hwnd();
    EXPECT_EQ("开始", WindowText(button));
    EXPECT_FALSE(::IsWindowEnabled(button));
    EXPECT_EQ(static_cast<DWORD>(WS_TABSTOP), Style(button) & WS_TABSTOP);
    EXPECT_EQ(static_cast<DWORD>(BS_RIGHT | BS_TOP), Style(button) & kAlignmentBits);
    EXPECT_TRUE(IsDefault(unit.get()));
    const RECT rect = RectInParent(button);
    EXPECT_EQ(30, rect.left);
    EXPECT_EQ(40, rect.top);
    EXPECT_EQ(90, rect.right - rect.left);
    EXPECT_EQ(25, rect.bottom - rect.top);
}

TEST_F(ButtonTest, TypeAndAlignmentsAreClampedAndRestyleTheLiveControl) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND button = unit->hwnd();
    EXPECT_EQ(0, Set(unit.get(), kType, 5));
    EXPECT_EQ(1u, Get(unit.get(), kType).low);
    EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), Style(button) & BS_TYPEMASK);
    EXPECT_TRUE(IsDefault(unit.get()));
    Set(unit.get(), kType, static_cast<uint32_t>(-2));
    EXPECT_EQ(0u, Get(unit.get(), kType).low);
    EXPECT_EQ(static_cast<DWORD>(BS_PUSHBUTTON), Style(button) & BS_TYPEMASK);
    EXPECT_FALSE(IsDefault(unit.get()));

    EXPECT_EQ(0, Set(unit.get(), kHorizontalAlignment, static_cast<uint32_t>(-3)));
    EXPECT_EQ(0u, Get(unit.get(), kHorizontalAlignment).low);
    EXPECT_EQ(static_cast<DWORD>(BS_LEFT | BS_VCENTER), Style(button) & kAlignmentBits);
    Set(unit.get(), kVerticalAlignment, 9);
    EXPECT_EQ(2u, Get(unit.get(), kVerticalAlignment).low);
    EXPECT_EQ(static_cast<DWORD>(BS_LEFT | BS_BOTTOM), Style(button) & kAlignmentBits);
    Set(unit.get(), kHorizontalAlignment, 2);
    EXPECT_EQ(static_cast<DWORD>(BS_RIGHT | BS_BOTTOM), Style(button) & kAlignmentBits);
}

TEST_F(ButtonTest, CaptionAndFontReachTheControl) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND button = unit->hwnd();
    EXPECT_EQ(0, Set(unit.get(), kCaption, reinterpret_cast<uint32_t>("赞助作者")));
    EXPECT_EQ("赞助作者", WindowText(button));
    EXPECT_EQ("赞助作者", Caption(unit.get()));
    Set(unit.get(), kCaption, 0);
    EXPECT_EQ("", WindowText(button));

    LOGFONTA record{};
    record.lfHeight = -20;
    record.lfWeight = FW_BOLD;
    std::strcpy(record.lfFaceName, "Tahoma");
    Set(unit.get(), kFont, reinterpret_cast<uint32_t>(&record));
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0));
    ASSERT_NE(ui::DefaultGuiFont().get(), font);
    LOGFONTA applied{};
    ::GetObjectA(font, sizeof applied, &applied);
    EXPECT_EQ(-20, applied.lfHeight);
    EXPECT_EQ(FW_BOLD, applied.lfWeight);
    const auto* stored = reinterpret_cast<const LOGFONTA*>(Get(unit.get(), kFont).low);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(-20, stored->lfHeight);

    Set(unit.get(), kFont, 0);
    EXPECT_EQ(ui::DefaultGuiFont().get(),
              reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0)));
}

TEST_F(ButtonTest, PictureAsksForRecreationAndTravelsInTheWrittenBlock) {
    ButtonBlock block;
    block.caption = "解析";
    auto unit = Create(block.Write(), WS_TABSTOP);
    ASSERT_NE(nullptr, unit);
    const uint8_t picture[] = {0x89, 'P', 'N', 'G', 0};
    EXPECT_EQ(1, Set(unit.get(), kPicture, reinterpret_cast<uint32_t>(picture), sizeof picture));

    const std::vector<uint8_t> written =
        RoutineOf<ui::WriteTypeBlockRoutine>(ui::routine::kWriteTypeBlock)(unit.get());
    unit.reset();
    auto rebuilt = Create(written, WS_TABSTOP);
    ASSERT_NE(nullptr, rebuilt);
    const ui::PropertyValue kept = Get(rebuilt.get(), kPicture);
    ASSERT_EQ(sizeof picture, kept.high);
    EXPECT_EQ(0, std::memcmp(picture, reinterpret_cast<const void*>(kept.low), sizeof picture));
    // Bytes that are no picture leave the caption showing.
    EXPECT_EQ("解析", WindowText(rebuilt->hwnd()));
    EXPECT_EQ(0u, Style(rebuilt->hwnd()) & (BS_BITMAP | BS_ICON));
    EXPECT_EQ(0, ::SendMessageA(rebuilt->hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0));
}

// A picture is decoded by the PicBox's reader: an icon is shown as an icon,
// any other picture as a bitmap of its own size over the button face.
TEST_F(ButtonTest, APictureIsShownInsteadOfTheCaption) {
    struct Case {
        const char* file;
        DWORD styleBit;
        UINT imageType;
    };
    for (const Case& c : {Case{"made/im-8.pcx", BS_BITMAP, IMAGE_BITMAP},
                          Case{"made/netpbm-24.bmp", BS_BITMAP, IMAGE_BITMAP},
                          Case{"made/netpbm-4-transparent.gif", BS_BITMAP, IMAGE_BITMAP},
                          Case{"made/netpbm-8.ico", BS_ICON, IMAGE_ICON}}) {
        ButtonBlock block;
        block.caption = "开始";
        const std::vector<uint8_t> bytes = image_test::ReadImageFile(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        block.picture.assign(bytes.begin(), bytes.end());
        auto unit = Create(block.Write());
        ASSERT_NE(nullptr, unit) << c.file;
        EXPECT_EQ(c.styleBit, Style(unit->hwnd()) & (BS_BITMAP | BS_ICON)) << c.file;
        const auto image =
            reinterpret_cast<HANDLE>(::SendMessageA(unit->hwnd(), BM_GETIMAGE, c.imageType, 0));
        ASSERT_NE(nullptr, image) << c.file;
        const ui::DecodedImage decoded = ui::DecodeImage(bytes.data(), bytes.size(), false);
        if (c.imageType == IMAGE_BITMAP) {
            BITMAP bitmap = {};
            ASSERT_TRUE(::GetObjectA(image, sizeof bitmap, &bitmap));
            EXPECT_EQ(decoded.width, bitmap.bmWidth) << c.file;
            EXPECT_EQ(decoded.height, bitmap.bmHeight) << c.file;
        }
    }
}

TEST_F(ButtonTest, NewerOrTruncatedBlocksAreRefused) {
    ButtonBlock block;
    EXPECT_EQ(nullptr, Create(unit_testing::AsVersion(block.Write(), 2)));

    block.caption = "赞助作者";
    block.picture = "abc";
    const std::vector<uint8_t> whole = block.Write();
    ASSERT_NE(nullptr, Create(whole));
    for (size_t length = 1; length < whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(),
                                       whole.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_EQ(nullptr, Create(cut)) << "cut at " << length << " of " << whole.size();
    }
    std::vector<uint8_t> huge = whole;
    std::memset(huge.data() + 16, 0xFF, 4);  // the picture's length
    EXPECT_EQ(nullptr, Create(huge));
}

TEST_F(ButtonTest, ClickIsTakenByTheUnitAndDeletingItDestroysTheControl) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND button = unit->hwnd();
    ::SendMessageA(button, BM_CLICK, 0, 0);
    ASSERT_EQ(1u, host_.handledCommands().size());
    EXPECT_EQ(BN_CLICKED, host_.handledCommands()[0]);

    unit.reset();
    EXPECT_FALSE(::IsWindow(button));
}

}  // namespace
