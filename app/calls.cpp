#include "app/calls.h"

#include "runtime/values.h"

namespace app {

void* ArrayElement(void* block, int32_t index, uint32_t elementSize) {
    const int32_t offset = index - 1;
    if (offset < 0) RaiseRuntimeError(kIndexBelowOneError);
    if (static_cast<uint32_t>(offset) >= runtime::ArrayElementCount(block)) {
        RaiseRuntimeError(kIndexTooLargeError);
    }
    return static_cast<uint8_t*>(block) + runtime::ArrayHeaderSize(block) + offset * elementSize;
}

}  // namespace app
