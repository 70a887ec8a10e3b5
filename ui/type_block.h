// A unit type's block of own properties, laid out once per type by a list
// of fields in a .def file beside the unit:
//
//   #define EDIT_BOX_BLOCK(VERSION, FIELD)
//       VERSION(2)                                   the newest version written
//       FIELD(border, Choice, 1, 1, kLastBorder)     member, kind, default,
//       ...                                          since version, limit
//
// in stored order. VELMORA_TYPE_BLOCK_STRUCT makes the C++ record from the
// list, VELMORA_TYPE_BLOCK_CODE its reader and writer, and
// tools/template_compiler.py reads the same list to write template blocks
// (member textColour is the template field text_colour). The limit is the
// largest value of a choice (a C++ name, for the reader); the other kinds
// ignore it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/byte_reader.h"
#include "ui/unit_support.h"
#include "ui/unit_type.h"

namespace ui::block_field {

// Each kind says how its value is stored and what a reader makes of it.
struct U32 {
    using Value = uint32_t;
    static Value Read(ByteReader& reader, int32_t) { return reader.U32(); }
    static void Write(ByteWriter& writer, Value value) { writer.U32(value); }
};
struct I32 {
    using Value = int32_t;
    static Value Read(ByteReader& reader, int32_t) { return reader.I32(); }
    static void Write(ByteWriter& writer, Value value) { writer.U32(static_cast<uint32_t>(value)); }
};
// Stored as a word, read as 0 or 1.
struct Logical : U32 {
    static Value Read(ByteReader& reader, int32_t) { return reader.U32() != 0 ? 1 : 0; }
};
// A length or count: a negative one reads as 0.
struct Count : I32 {
    static Value Read(ByteReader& reader, int32_t) {
        const int32_t value = reader.I32();
        return value < 0 ? 0 : value;
    }
};
// A choice is clamped into 0..limit, never refused.
struct Choice : U32 {
    static Value Read(ByteReader& reader, int32_t limit) {
        return ClampChoice(reader.I32(), limit);
    }
};
// One character: a double-byte one as (lead << 8) | trail.
struct Char {
    using Value = uint16_t;
    static Value Read(ByteReader& reader, int32_t) { return reader.U16(); }
    static void Write(ByteWriter& writer, Value value) { writer.U16(value); }
};
// Counted bytes: a text, or a picture, icon or sound.
struct Bytes {
    using Value = std::string;
    static Value Read(ByteReader& reader, int32_t) { return reader.CountedText(); }
    static void Write(ByteWriter& writer, const Value& value) { writer.Counted(value); }
};
struct Text : Bytes {};
// A 60-byte logical-font record; any other length reads as none.
struct Font : Bytes {
    static Value Read(ByteReader& reader, int32_t) {
        Value record = reader.CountedText();
        if (record.size() != kFontRecordSize) record.clear();
        return record;
    }
};

}  // namespace ui::block_field

#define VELMORA_BLOCK_NOTHING(...)
#define VELMORA_BLOCK_NEWEST(newest) static constexpr uint32_t kNewestVersion = newest;
#define VELMORA_BLOCK_MEMBER(member, kind, value, since, limit) \
    ::ui::block_field::kind::Value member = value;
#define VELMORA_BLOCK_READ(member, kind, value, since, limit) \
    if (version >= (since)) block->member = ::ui::block_field::kind::Read(reader, limit);
#define VELMORA_BLOCK_WRITE(member, kind, value, since, limit) \
    ::ui::block_field::kind::Write(writer, member);

// The record: one member per field with its default, and the newest version.
#define VELMORA_TYPE_BLOCK_STRUCT(Name, LIST)                                               \
    struct Name {                                                                           \
        LIST(VELMORA_BLOCK_NEWEST, VELMORA_BLOCK_MEMBER)                                    \
        /* An empty block keeps every default; a version newer than kNewestVersion, or a */ \
        /* block shorter than its fields, is refused. */                                    \
        static bool Read(const uint8_t* data, int32_t length, Name* block);                 \
        /* The newest version, every field. */                                              \
        std::vector<uint8_t> Write() const;                                                 \
    }

// The reader and writer, where the limits the list names are known.
#define VELMORA_TYPE_BLOCK_CODE(Name, LIST)                             \
    bool Name::Read(const uint8_t* data, int32_t length, Name* block) { \
        if (!data || length <= 0) return true;                          \
        ::ui::ByteReader reader(data, static_cast<size_t>(length));     \
        const uint32_t version = reader.U32();                          \
        if (!reader.ok() || version > kNewestVersion) return false;     \
        LIST(VELMORA_BLOCK_NOTHING, VELMORA_BLOCK_READ)                 \
        return reader.ok();                                             \
    }                                                                   \
    std::vector<uint8_t> Name::Write() const {                          \
        ::ui::ByteWriter writer;                                        \
        writer.U32(kNewestVersion);                                     \
        LIST(VELMORA_BLOCK_NOTHING, VELMORA_BLOCK_WRITE)                \
        return writer.Take();                                           \
    }
