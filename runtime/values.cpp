#include "runtime/values.h"

#include <cstring>

namespace runtime {

uint32_t ElementSize(TypeTag elementTag) {
    switch (elementTag) {
        case tag::kByte: return 1;
        case tag::kShort: return 2;
        case tag::kInteger:
        case tag::kFloat:
        case tag::kLogical:
        case tag::kText:
        case tag::kByteSet:
        case tag::kRoutine: return 4;
        case tag::kLong:
        case tag::kDouble:
        case tag::kDateTime: return 8;
        default: return 0;
    }
}

uint32_t ArrayHeaderSize(const void* block) {
    const int32_t dimensions = *static_cast<const int32_t*>(block);
    return 4 + 4 * static_cast<uint32_t>(dimensions > 0 ? dimensions : 0);
}

uint32_t ArrayElementCount(const void* block) {
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

}  // namespace runtime
