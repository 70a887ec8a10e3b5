#include "runtime/value_text.h"

#include <cstdio>
#include <cstring>

#include "runtime/date_time.h"
#include "runtime/memory.h"

namespace runtime {

namespace {

char* LongToText(int64_t value) {
    char digits[24];
    char* p = digits + sizeof digits;
    *--p = '\0';
    // Work on the magnitude as unsigned so that the smallest value converts too.
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--p = '-';
    return NewText(p);
}

char* DateToText(double value) {
    const DateParts d = SplitDate(value);
    char text[64];
    int n = std::snprintf(text, sizeof text, "%d年%d月%d日", d.year, d.month, d.day);
    if (d.second != 0) {
        std::snprintf(text + n, sizeof text - n, "%d时%d分%d秒", d.hour, d.minute, d.second);
    } else if (d.minute != 0) {
        std::snprintf(text + n, sizeof text - n, "%d时%d分", d.hour, d.minute);
    } else if (d.hour != 0) {
        std::snprintf(text + n, sizeof text - n, "%d时", d.hour);
    }
    return NewText(text);
}

// Bytes up to the first zero byte, or all of them.
char* BytesToText(const uint8_t* bytes, uint32_t length) {
    const void* zero = std::memchr(bytes, 0, length);
    const size_t used = zero ? static_cast<const uint8_t*>(zero) - bytes : length;
    return NewText(reinterpret_cast<const char*>(bytes), used);
}

char* Formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return NewText(text);
}

template <typename Integer>
char* Formatted(const char* format, Integer value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return NewText(text);
}

}  // namespace

char* ValueToText(const ArgRecord& v) {
    if (IsArrayTag(v.tag)) {
        const TypeTag element = ElementTag(v.tag);
        if (!v.low || !IsNumericTag(element)) return nullptr;
        const void* block = reinterpret_cast<const void*>(v.low);
        const auto* data = static_cast<const uint8_t*>(block) + ArrayHeaderSize(block);
        return BytesToText(data, ArrayElementCount(block) * ElementSize(element));
    }
    switch (v.tag) {
        case tag::kByte:
            return Formatted("%u", static_cast<unsigned>(v.low & 0xFF));
        case tag::kShort:
            return Formatted("%d", static_cast<int>(static_cast<int16_t>(v.low)));
        case tag::kInteger:
            return Formatted("%d", static_cast<int>(v.low));
        case tag::kLong:
            return LongToText(LongOf(v));
        case tag::kFloat:
            return Formatted("%.6g", static_cast<double>(FloatOf(v)));
        case tag::kDouble:
            return Formatted("%.13g", DoubleOf(v));
        case tag::kLogical:
            return NewText(v.low ? "真" : "假");
        case tag::kDateTime:
            return DateToText(DoubleOf(v));
        case tag::kText:
            return NewText(reinterpret_cast<const char*>(v.low));
        case tag::kByteSet: {
            const void* byteSet = reinterpret_cast<const void*>(v.low);
            return byteSet ? BytesToText(ByteSetData(byteSet), ByteSetLength(byteSet)) : nullptr;
        }
        default:
            return nullptr;
    }
}

int32_t ValueSize(const ArgRecord& v) {
    if (v.tag == tag::kText) {
        const char* text = reinterpret_cast<const char*>(v.low);
        return static_cast<int32_t>((text ? std::strlen(text) : 0) + 1);
    }
    if (v.tag == tag::kByteSet) {
        return static_cast<int32_t>(ByteSetLength(reinterpret_cast<const void*>(v.low)));
    }
    const uint32_t size = IsArrayTag(v.tag) ? 0 : ElementSize(v.tag);
    return size ? static_cast<int32_t>(size) : -1;
}

}  // namespace runtime
