// The heap values that commands hand the application, each owned by a small
// type that frees it through the runtime's FreeMemory entry point: texts, byte
// sets, arrays of texts, and COM object variables.
#pragma once

#include <cstdint>
#include <string>

#include "app/runtime_entries.h"
#include "runtime/owned.h"
#include "runtime/values.h"

namespace app {

inline void FreeHeapText(char* text) { FreeMemory(text); }
inline void FreeHeapBlock(void* block) { FreeMemory(block); }
// Each text of a one-dimensional text array, then the array.
void FreeHeapTextArray(void* array);

// A text a command handed over; commands give null for the empty text.
class OwnedText : public runtime::Owned<runtime::NullEmptyTraits<char*, &FreeHeapText>> {
  public:
    using Owned::Owned;
    explicit OwnedText(const runtime::ArgRecord& result)
        : Owned(reinterpret_cast<char*>(result.low)) {}

    // Never null: the empty text reads as "".
    const char* c_str() const { return get() ? get() : ""; }
    bool empty() const { return !get() || !*get(); }
};

using OwnedByteSet = runtime::Owned<runtime::NullEmptyTraits<void*, &FreeHeapBlock>>;

// An array of texts, as the split-text command makes one.
class OwnedTextArray : public runtime::Owned<runtime::NullEmptyTraits<void*, &FreeHeapTextArray>> {
  public:
    using Owned::Owned;
    explicit OwnedTextArray(const runtime::ArgRecord& result)
        : Owned(reinterpret_cast<void*>(result.low)) {}

    int32_t Count() const;
    // Element `index` from 1; null stands for the empty text. An index out of
    // range is a run-time error, as for any array.
    const char* At(int32_t index) const;
};

// A COM object variable: one IDispatch reference in the runtime's 4-byte
// slot, released through the core library's release command.
void ReleaseComObject(uint32_t object);
using ComObject = runtime::Owned<runtime::NullEmptyTraits<uint32_t, &ReleaseComObject>>;

// A COM object passed by value, and one passed as a variable a command writes.
runtime::ArgRecord ObjectArg(const ComObject& object);
runtime::ArgRecord ObjectVariable(ComObject& object);

// A new heap text holding `text`; null for the empty text, as commands give it.
char* NewHeapText(const std::string& text);

}  // namespace app
