// The window unit's two property-get paths: routine 6 gives what the unit
// stored, routine 7 what the live window shows.
#include "ui/window_unit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "ui/icon_records.h"
#include "ui/unit_type.h"

namespace {

constexpr int32_t kTitleIndex = 0;

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return reinterpret_cast<Routine>(ui::kWindowType.interfaceRoutine(number));
}

std::string TitleBy(int32_t routine, ui::Unit* unit) {
    ui::PropertyValue value;
    EXPECT_TRUE(RoutineOf<ui::GetPropertyRoutine>(routine)(unit, kTitleIndex, &value));
    return reinterpret_cast<const char*>(value.low);
}

TEST(WindowUnit, TheSecondGetPathReadsTheTitleTheLiveWindowShows) {
    ui::WindowBlock block;
    block.title = "存储的标题";
    const std::vector<uint8_t> bytes = block.Write();
    const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
    std::unique_ptr<ui::Unit> unit(create(bytes.data(), static_cast<int32_t>(bytes.size()), 0,
                                          nullptr, 0, nullptr, 0, 0, 200, 100, 0x52000001,
                                          0x06000001, 0, 0));
    ASSERT_NE(nullptr, unit);
    ::SetWindowTextA(unit->hwnd(), "改过的标题");
    EXPECT_EQ("存储的标题", TitleBy(ui::routine::kGetProperty, unit.get()));
    EXPECT_EQ("改过的标题", TitleBy(ui::routine::kWindowGetProperty, unit.get()));
    // What the live window showed is now the unit's, also in a written block.
    EXPECT_EQ("改过的标题", TitleBy(ui::routine::kGetProperty, unit.get()));
}

std::string IconFile(const std::string& name) {
    return driver::ReadWholeFile(driver::ProgramDirectory() + "..\\images\\made\\" + name);
}

std::unique_ptr<ui::Unit> WindowWithIcon(const std::string& icon) {
    ui::WindowBlock block;
    block.icon = icon;
    const std::vector<uint8_t> bytes = block.Write();
    const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
    return std::unique_ptr<ui::Unit>(create(bytes.data(), static_cast<int32_t>(bytes.size()), 0,
                                            nullptr, 0, nullptr, 0, 0, 200, 100, 0x52000001,
                                            0x06000001, 0, 0));
}

// A window shows its icon file's icon; windows of the same file share one
// icon record, which lives until the records are released at the end.
TEST(WindowUnit, AWindowShowsTheIconOfItsIconFile) {
    const std::string file = IconFile("netpbm-8.ico");
    ASSERT_FALSE(file.empty());
    auto first = WindowWithIcon(file);
    auto second = WindowWithIcon(file);
    ASSERT_TRUE(first && second);
    const auto icon =
        reinterpret_cast<HICON>(::SendMessageA(first->hwnd(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(icon,
              reinterpret_cast<HICON>(::SendMessageA(second->hwnd(), WM_GETICON, ICON_BIG, 0)));
    EXPECT_EQ(icon,
              reinterpret_cast<HICON>(::SendMessageA(first->hwnd(), WM_GETICON, ICON_SMALL, 0)));
    first.reset();
    second.reset();
    ICONINFO info;
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ui::ReleaseIconRecords();
    EXPECT_FALSE(::GetIconInfo(icon, &info));

    // Bytes that are no icon file leave the window without one.
    auto plain = WindowWithIcon("not an icon");
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(0, ::SendMessageA(plain->hwnd(), WM_GETICON, ICON_BIG, 0));
}

}  // namespace
