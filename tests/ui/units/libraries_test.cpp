// The unit libraries as the runtime finds their types: by library number and
// unit number, among the libraries the program attached (core, extended and
// the tests' data source library).
#include <gtest/gtest.h>

#include "runtime/library.h"
#include "ui/units/edit_box.h"
#include "ui/units/trans_label.h"

namespace {

TEST(UnitLibraries, ATypeCodeNamesALibraryAndAnEntryOfItsUnitList) {
    EXPECT_EQ(&ui::kEditBoxType, runtime::FindUnitType(0x00010005));
    EXPECT_EQ(&ui::kTransLabelType, runtime::FindUnitType(0x00020005));
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00020004)) << "an empty entry";
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00020006)) << "past the list";
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00010000)) << "unit numbers start at 1";
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00040001)) << "a library not attached";
    EXPECT_EQ(nullptr, runtime::FindUnitType(0x00000001)) << "library numbers start at 1";
}

}  // namespace
