#include "runtime/conversion_commands.h"

#include <cstring>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/value_text.h"

namespace runtime {

namespace {

void* ArrayToByteSet(const ArgRecord& value) {
    const void* block = reinterpret_cast<const void*>(value.low);
    const TypeTag element = ElementTag(value.tag);
    if (!block || !IsNumericTag(element)) return nullptr;
    const auto* data = static_cast<const uint8_t*>(block) + ArrayHeaderSize(block);
    return NewByteSet(data, ArrayElementCount(block) * ElementSize(element));
}

}  // namespace

void ToText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount >= 1) SetText(result, ValueToText(args[0]));
}

void ToByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const ArgRecord& value = args[0];
    if (IsArrayTag(value.tag)) return SetPointer(result, ArrayToByteSet(value));
    switch (value.tag) {
        case tag::kText: {
            const char* text = TextArgument(value);
            return SetPointer(result, NewByteSet(text, std::strlen(text)));
        }
        case tag::kByteSet: {
            const void* byteSet = reinterpret_cast<const void*>(value.low);
            return SetPointer(result, byteSet
                                          ? NewByteSet(ByteSetData(byteSet), ByteSetLength(byteSet))
                                          : nullptr);
        }
        default:
            // Basic scalars: the low word and then the high word are the value's bytes in order.
            if (IsBasicOrBasicArray(value.tag)) {
                SetPointer(result, NewByteSet(&value.low, ElementSize(value.tag)));
            }
    }
}

void BlankByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const int32_t n = IntegerArgument(args[0]);
    if (n <= 0) return;
    auto* header = static_cast<ByteSetHeader*>(AllocMemory(sizeof(ByteSetHeader) + n));
    header->dimensionCount = 1;
    header->length = n;
    std::memset(header + 1, 0, static_cast<size_t>(n));
    SetPointer(result, header);
}

void LengthOfByteSet(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount >= 1) {
        SetInteger(result,
                   static_cast<int32_t>(ByteSetLength(reinterpret_cast<void*>(args[0].low))));
    }
}

void BitwiseAnd(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    uint32_t combined = args[0].low;
    for (int32_t i = 1; i < argCount; ++i) combined &= args[i].low;
    result->low = combined;
}

void ShiftRight(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 2) return;
    SetInteger(result, IntegerArgument(args[0]) >> (args[1].low & 31));
}

}  // namespace runtime
