// The template segment of the application's own windows, as the compiler
// writes it, read back by the runtime's reader.
#include "ui/template_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "g_appWindowsData.h"
#include "tests/fuzz/guarded_bytes.h"
#include "tests/fuzz/mutator.h"
#include "ui/unit_record.h"

namespace {

const uint8_t* const kBase = reinterpret_cast<const uint8_t*>(0x00400000);

uint32_t Word(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

struct Record {
    ui::UnitRecordLayout layout;
    const uint8_t* bytes;
};

Record RecordOf(const ui::WindowTemplate& window, uint32_t index) {
    size_t start = 0, available = 0;
    EXPECT_TRUE(
        ui::LocateUnitRecord(window.unitBuffer, window.unitCount, index, &start, &available));
    Record record{{}, window.unitBuffer.data() + start};
    EXPECT_TRUE(ui::ParseUnitRecord(record.bytes, available, &record.layout));
    return record;
}

TEST(TemplateReader, TheApplicationWindowsAreReadToTheLastByte) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_appWindowsData, g_appWindowsDataLength, kBase, &segment));
    EXPECT_EQ(g_appWindowsDataLength, segment.consumed);
    ASSERT_EQ(2u, segment.windows.size());
    EXPECT_EQ(0x52010001u, segment.windows[0].windowId);
    EXPECT_EQ(0x5201817Du, segment.windows[1].windowId);
    EXPECT_EQ(0x19010007u, segment.windows[0].keptHeaderWordB);
    EXPECT_EQ(11u, segment.windows[0].unitCount);
    EXPECT_EQ(2u, segment.windows[1].unitCount);
}

TEST(TemplateReader, EveryRecordOfTheMainWindowParsesWithItsFields) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_appWindowsData, g_appWindowsDataLength, kBase, &segment));
    const ui::WindowTemplate& main = segment.windows[0];
    EXPECT_EQ(0x06010001u, Word(main.unitBuffer, 0));
    EXPECT_EQ(0x16010002u, Word(main.unitBuffer, 4 * 10));

    const Record window = RecordOf(main, 0);
    EXPECT_EQ(0x00010001u, window.layout.typeCode);
    EXPECT_STREQ("", reinterpret_cast<const char*>(window.bytes + window.layout.name));
    EXPECT_EQ(50,
              static_cast<int32_t>(Word(
                  {window.bytes + window.layout.rect, window.bytes + window.layout.rect + 4}, 0)));

    const Record startButton = RecordOf(main, 4);
    EXPECT_EQ(0x0001000Bu, startButton.layout.typeCode);
    EXPECT_STREQ("按钮2",
                 reinterpret_cast<const char*>(startButton.bytes + startButton.layout.name));
    uint32_t flags;
    std::memcpy(&flags, startButton.bytes + startButton.layout.stateFlags, 4);
    EXPECT_EQ(7u, flags);
    EXPECT_EQ(1u, startButton.layout.events);

    const Record addressBox = RecordOf(main, 10);
    EXPECT_EQ(0x00010005u, addressBox.layout.typeCode);
    EXPECT_EQ(0u, addressBox.layout.typeBlockLength);
}

TEST(TemplateReader, HandlersAreRelocatedAndMissingOnesBecomeZero) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_appWindowsData, g_appWindowsDataLength, kBase, &segment));
    const ui::WindowTemplate& main = segment.windows[0];
    std::vector<uint32_t> handlers;
    for (uint32_t k = 0; k < main.unitCount; ++k) {
        const Record record = RecordOf(main, k);
        for (uint32_t e = 0; e < record.layout.events; ++e) {
            uint32_t handler;
            std::memcpy(&handler, record.bytes + record.layout.eventCount + 8 + 8 * e, 4);
            handlers.push_back(handler);
        }
    }
    // Five bound handlers, one 8-byte jump each from the base.
    ASSERT_EQ(5u, handlers.size());
    for (uint32_t handler : handlers) {
        EXPECT_EQ(0u, (handler - 0x00400000u) % 8);
        EXPECT_LT(handler - 0x00400000u, 5u * 8);
    }
}

TEST(TemplateReader, EveryTruncationIsRefused) {
    ui::TemplateSegment segment;
    for (size_t length = 0; length < g_appWindowsDataLength; length += (length < 4096 ? 1 : 97)) {
        std::vector<uint8_t> copy(g_appWindowsData, g_appWindowsData + length);
        EXPECT_FALSE(ui::ReadTemplateSegment(copy.data(), copy.size(), kBase, &segment))
            << "truncated at " << length;
        EXPECT_TRUE(segment.windows.empty());
    }
}

TEST(TemplateReader, LengthsPastTheEndAreRefused) {
    std::vector<uint8_t> copy(g_appWindowsData, g_appWindowsData + g_appWindowsDataLength);
    ui::TemplateSegment segment;
    // The main window's first record claims more bytes than its buffer holds.
    const size_t firstRecord = 4 + 16 + 8 + 4 + 4 + 4 + 4 + 8 * 11;
    std::vector<uint8_t> oversized = copy;
    oversized[firstRecord + 3] = 0x7F;
    EXPECT_FALSE(ui::ReadTemplateSegment(oversized.data(), oversized.size(), kBase, &segment));
    // A window table whose length is not a multiple of eight.
    std::vector<uint8_t> oddTable = copy;
    oddTable[0] = 12;
    EXPECT_FALSE(ui::ReadTemplateSegment(oddTable.data(), oddTable.size(), kBase, &segment));
    // A byte after the last template.
    std::vector<uint8_t> trailing = copy;
    trailing.push_back(0);
    EXPECT_FALSE(ui::ReadTemplateSegment(trailing.data(), trailing.size(), kBase, &segment));
    EXPECT_TRUE(segment.windows.empty());
}

// A record offset is counted from the end of the buffer's two tables: one at
// the buffer's end, or one that would reach into the next window's bytes, is
// refused; every record of the real buffer starts just after the tables.
TEST(TemplateReader, RecordOffsetsStayInsideTheirBuffer) {
    ui::TemplateSegment segment;
    ASSERT_TRUE(ui::ReadTemplateSegment(g_appWindowsData, g_appWindowsDataLength, kBase, &segment));
    ui::WindowTemplate window = segment.windows[1];
    const size_t tables = 8 * window.unitCount;
    size_t start = 0, available = 0;
    ASSERT_TRUE(ui::LocateUnitRecord(window.unitBuffer, window.unitCount, 0, &start, &available));
    EXPECT_EQ(tables + Word(window.unitBuffer, 4 * window.unitCount), start);
    EXPECT_EQ(window.unitBuffer.size() - start, available);

    const uint32_t end = static_cast<uint32_t>(window.unitBuffer.size() - tables);
    for (const uint32_t offset : {end, end + 1, 0xFFFFFFF0u}) {
        std::memcpy(window.unitBuffer.data() + 4 * window.unitCount, &offset, 4);
        const bool located =
            ui::LocateUnitRecord(window.unitBuffer, window.unitCount, 0, &start, &available);
        EXPECT_TRUE(!located || available == 0) << offset;
        ui::UnitRecordLayout layout;
        EXPECT_FALSE(located &&
                     ui::ParseUnitRecord(window.unitBuffer.data() + start, available, &layout));
    }
}

// The fuzzer's mutations, replayed: a segment is refused, or every record of
// it lies inside its window's buffer with its type block inside the record.
TEST(TemplateReader, MutatedSegmentsAreRefusedOrHoldTogether) {
    const std::vector<std::vector<uint8_t>> seeds{
        std::vector<uint8_t>(g_appWindowsData, g_appWindowsData + g_appWindowsDataLength)};
    std::mt19937 random(2024);
    size_t accepted = 0;
    for (int run = 0; run < 4000; ++run) {
        const fuzz::GuardedBytes input(fuzz::Mutate(seeds[0], random, seeds));
        ui::TemplateSegment segment;
        if (!ui::ReadTemplateSegment(input.data(), input.size(), kBase, &segment)) continue;
        ++accepted;
        ASSERT_LE(segment.consumed, input.size()) << "run " << run;
        for (const ui::WindowTemplate& window : segment.windows) {
            for (uint32_t k = 0; k < window.unitCount; ++k) {
                size_t start = 0, available = 0;
                ASSERT_TRUE(ui::LocateUnitRecord(window.unitBuffer, window.unitCount, k, &start,
                                                 &available))
                    << "run " << run;
                ASSERT_LE(start + available, window.unitBuffer.size()) << "run " << run;
                if (ui::IdentifierKind(Word(window.unitBuffer, 4 * k)) == ui::kMenuItemKind) {
                    continue;
                }
                ui::UnitRecordLayout layout;
                ASSERT_TRUE(
                    ui::ParseUnitRecord(window.unitBuffer.data() + start, available, &layout))
                    << "run " << run;
                ASSERT_LE(4u + layout.size, available) << "run " << run;
                ASSERT_LE(layout.typeBlock + layout.typeBlockLength, available) << "run " << run;
            }
        }
    }
    EXPECT_LT(0u, accepted);  // some mutations leave a readable segment
}

}  // namespace
