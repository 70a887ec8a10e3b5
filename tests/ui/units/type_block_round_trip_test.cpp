// Every unit type reads the block the template compiler wrote from its .def
// list and writes it back byte for byte: the compiler, the record, its reader
// and its writer agree on one layout.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "g_roundTripData.h"
#include "tests/support/unit_test_helpers.h"
#include "ui/drag_drop/drop_target.h"
#include "ui/template_reader.h"
#include "ui/unit_record.h"
#include "ui/units/button.h"
#include "ui/units/edit_box.h"
#include "ui/units/pic_box.h"
#include "ui/units/trans_label.h"
#include "ui/window_unit.h"

namespace {

const ui::UnitTypeDescriptor* TypeOf(uint32_t typeCode) {
    switch (typeCode) {
        case 0x00010001:
            return &ui::kWindowType;
        case 0x00010005:
            return &ui::kEditBoxType;
        case 0x00010006:
            return &ui::kPicBoxType;
        case 0x0001000B:
            return &ui::kButtonType;
        case 0x00020005:
            return &ui::kTransLabelType;
        case 0x00030001:
            return &drag_drop::kDropTargetType;
        default:
            return nullptr;
    }
}

// The texts routine 9 hands out, by type, for the blocks of round_trip.tpl.
std::vector<std::string> TextsOf(const ui::UnitTypeDescriptor& type) {
    if (&type == &ui::kEditBoxType) return {"第一行", ""};  // content, face name
    if (&type == &ui::kButtonType) return {"按我"};         // no font record
    if (&type == &ui::kTransLabelType) return {"标签"};     // a font block of one byte
    if (&type == &ui::kPicBoxType) return {"源", "列"};
    return {};
}

// Routine 9 hands each text to the visitor and writes back what it left;
// types without texts to visit have no routine 9.
void ExpectTextsVisited(const ui::UnitTypeDescriptor& type, const std::vector<uint8_t>& block) {
    const auto visitTexts =
        reinterpret_cast<ui::VisitTextsRoutine>(type.interfaceRoutine(ui::routine::kVisitTexts));
    const std::vector<std::string> expected = TextsOf(type);
    if (expected.empty()) {
        EXPECT_EQ(nullptr, visitTexts);
        return;
    }
    ASSERT_NE(nullptr, visitTexts);
    const auto appendMark = [](std::string* text, void* seen) {
        static_cast<std::vector<std::string>*>(seen)->push_back(*text);
        *text += "+";
    };
    std::vector<std::string> seen;
    const std::vector<uint8_t> marked =
        visitTexts(block.data(), static_cast<int32_t>(block.size()), appendMark, &seen);
    EXPECT_EQ(expected, seen);
    seen.clear();
    visitTexts(marked.data(), static_cast<int32_t>(marked.size()), appendMark, &seen);
    std::vector<std::string> markedTexts;
    for (const std::string& text : expected) markedTexts.push_back(text + "+");
    EXPECT_EQ(markedTexts, seen);
    // A face name longer than a font record holds is cut to 31 characters.
    if (&type == &ui::kEditBoxType) {
        const auto longName = [](std::string* text, void*) {
            if (text->size() <= 1) *text = std::string(40, 'f');
        };
        const std::vector<uint8_t> cut =
            visitTexts(marked.data(), static_cast<int32_t>(marked.size()), longName, nullptr);
        seen.clear();
        visitTexts(cut.data(), static_cast<int32_t>(cut.size()), appendMark, &seen);
        EXPECT_EQ((std::vector<std::string>{"第一行+", std::string(31, 'f')}), seen);
    }
    EXPECT_TRUE(visitTexts(block.data(), 3, appendMark, &seen).empty()) << "a cut block";
}

TEST(TypeBlocks, EveryUnitTypeWritesBackTheBlockItRead) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_roundTripData, g_roundTripDataLength, nullptr, &segment));
    ASSERT_EQ(2u, segment.windows.size());
    const ui::WindowTemplate& window = segment.windows[0];
    unit_testing::ReflectingParent parent;
    int typesSeen = 0;
    for (uint32_t k = 0; k < window.unitCount; ++k) {
        size_t start = 0, available = 0;
        ASSERT_TRUE(
            ui::LocateUnitRecord(window.unitBuffer, window.unitCount, k, &start, &available));
        ui::UnitRecordLayout layout{};
        const uint8_t* record = window.unitBuffer.data() + start;
        ASSERT_TRUE(ui::ParseUnitRecord(record, available, &layout));
        const ui::UnitTypeDescriptor* type = TypeOf(layout.typeCode);
        ASSERT_NE(nullptr, type) << std::hex << layout.typeCode;
        SCOPED_TRACE(type->englishName);
        const std::vector<uint8_t> block(record + layout.typeBlock,
                                         record + layout.typeBlock + layout.typeBlockLength);
        ASSERT_FALSE(block.empty());

        const auto create = unit_testing::RoutineOf<ui::CreateRoutine>(*type, ui::routine::kCreate);
        const auto write =
            unit_testing::RoutineOf<ui::WriteTypeBlockRoutine>(*type, ui::routine::kWriteTypeBlock);
        const bool isWindow = layout.typeCode == 0x00010001;
        std::unique_ptr<ui::Unit> unit(
            create(block.data(), static_cast<int32_t>(block.size()), isWindow ? 0 : WS_CHILD,
                   isWindow ? nullptr : parent.hwnd(), 100 + k, nullptr, 0, 0, 120, 60,
                   window.windowId, 0x16000000 + k, 0, 0));
        ASSERT_NE(nullptr, unit);
        EXPECT_EQ(block, write(unit.get()));
        ++typesSeen;
        ExpectTextsVisited(*type, block);
    }
    EXPECT_EQ(6, typesSeen);
}

}  // namespace
