// The window unit's two property-get paths: routine 6 gives what the unit
// stored, routine 7 what the live window shows.
#include "ui/window_unit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

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

}  // namespace
