// Values as they travel between application code and runtime commands: type
// tags, the 12-byte argument record, and the heap layouts of texts, byte sets
// and array blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace runtime {

using TypeTag = uint32_t;

namespace tag {
constexpr TypeTag kNone = 0;
constexpr TypeTag kByte = 0x80000101;
constexpr TypeTag kShort = 0x80000201;
constexpr TypeTag kInteger = 0x80000301;
constexpr TypeTag kLong = 0x80000401;
constexpr TypeTag kFloat = 0x80000501;
constexpr TypeTag kDouble = 0x80000601;
constexpr TypeTag kLogical = 0x80000002;
constexpr TypeTag kDateTime = 0x80000003;
constexpr TypeTag kText = 0x80000004;
constexpr TypeTag kByteSet = 0x80000005;
constexpr TypeTag kRoutine = 0x80000006;

constexpr TypeTag kArrayBit = 0x20000000;

constexpr TypeTag kComObject = 0x10030;
constexpr TypeTag kVariant = 0x10031;
}  // namespace tag

// A basic type lives in [0x80000000, 0xC0000000); the array bit marks an array of it.
constexpr bool IsBasicOrBasicArray(TypeTag t) { return t >= 0x80000000u && t < 0xC0000000u; }
constexpr bool IsArrayTag(TypeTag t) { return IsBasicOrBasicArray(t) && (t & tag::kArrayBit); }
constexpr TypeTag ElementTag(TypeTag t) { return t & ~tag::kArrayBit; }
// Types defined by a support library: (library number << 16) | type number.
constexpr bool IsLibraryTypeTag(TypeTag t) { return t >= 1 && t <= 0x3FFFFFFF; }
constexpr bool IsNumericTag(TypeTag t) {
    return t == tag::kByte || t == tag::kShort || t == tag::kInteger || t == tag::kLong ||
           t == tag::kFloat || t == tag::kDouble;
}

// Value low word, value high word, type tag, in this order. A reference to a
// unit carries the window id low, the unit id high and the unit's type tag.
struct ArgRecord {
    uint32_t low;
    uint32_t high;
    TypeTag tag;
};
static_assert(sizeof(ArgRecord) == 12, "argument records are three words");

// Every command has this one signature; the caller zeroes *result first.
using CommandFunction = void (*)(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// A byte set shares the layout of a one-dimensional byte array.
struct ByteSetHeader {
    int32_t dimensionCount;  // always 1
    int32_t length;
};

// The value words read as the type they hold.
inline int64_t LongOf(const ArgRecord& v) {
    return static_cast<int64_t>((static_cast<uint64_t>(v.high) << 32) | v.low);
}
inline double DoubleOf(const ArgRecord& v) {
    const uint64_t bits = (static_cast<uint64_t>(v.high) << 32) | v.low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline float FloatOf(const ArgRecord& v) {
    float f;
    std::memcpy(&f, &v.low, sizeof f);
    return f;
}

// Layout knowledge that application code and runtime share, so it is inline:
// the element size of a basic type (0 for types that have none), and array
// blocks (int32 dimension count, one int32 size per dimension, then elements).
inline uint32_t ElementSize(TypeTag elementTag) {
    switch (elementTag) {
        case tag::kByte:
            return 1;
        case tag::kShort:
            return 2;
        case tag::kInteger:
        case tag::kFloat:
        case tag::kLogical:
        case tag::kText:
        case tag::kByteSet:
        case tag::kRoutine:
            return 4;
        case tag::kLong:
        case tag::kDouble:
        case tag::kDateTime:
            return 8;
        default:
            return 0;
    }
}

inline uint32_t ArrayHeaderSize(const void* block) {
    const int32_t dimensions = *static_cast<const int32_t*>(block);
    return 4 + 4 * static_cast<uint32_t>(dimensions > 0 ? dimensions : 0);
}

inline uint32_t ArrayElementCount(const void* block) {
    if (!block) return 0;
    const int32_t* words = static_cast<const int32_t*>(block);
    const int32_t dimensions = words[0];
    if (dimensions <= 0) return 0;
    uint32_t count = 1;
    for (int32_t i = 1; i <= dimensions; ++i) {
        count *= static_cast<uint32_t>(words[i] > 0 ? words[i] : 0);
    }
    return count;
}

inline uint32_t ByteSetLength(const void* byteSet) {
    return byteSet ? static_cast<uint32_t>(static_cast<const ByteSetHeader*>(byteSet)->length) : 0;
}
inline const uint8_t* ByteSetData(const void* byteSet) {
    return static_cast<const uint8_t*>(byteSet) + sizeof(ByteSetHeader);
}

}  // namespace runtime
