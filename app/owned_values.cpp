#include "app/owned_values.h"

#include <cstring>

#include "app/calls.h"
#include "runtime/com_commands.h"

namespace app {

void FreeHeapTextArray(void* array) {
    const int32_t count = static_cast<int32_t>(runtime::ArrayElementCount(array));
    for (int32_t i = 1; i <= count; ++i)
        FreeMemory(*static_cast<char**>(ArrayElement(array, i, sizeof(char*))));
    FreeMemory(array);
}

int32_t OwnedTextArray::Count() const {
    return static_cast<int32_t>(runtime::ArrayElementCount(get()));
}

const char* OwnedTextArray::At(int32_t index) const {
    return *static_cast<char**>(ArrayElement(get(), index, sizeof(char*)));
}

void ReleaseComObject(uint32_t object) {
    uint32_t slot = object;
    const runtime::ArgRecord args[] = {
        {reinterpret_cast<uint32_t>(&slot), 0, runtime::tag::kComObject}};
    CallCore(runtime::ReleaseObject, args);
}

runtime::ArgRecord ObjectArg(const ComObject& object) {
    return {object.get(), 0, runtime::tag::kComObject};
}

runtime::ArgRecord ObjectVariable(ComObject& object) {
    return {reinterpret_cast<uint32_t>(object.Put()), 0, runtime::tag::kComObject};
}

char* NewHeapText(const std::string& text) {
    if (text.empty()) return nullptr;
    char* copy = static_cast<char*>(AllocMemory(static_cast<uint32_t>(text.size() + 1)));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace app
