// The COM object value of the core library (one IDispatch pointer, null when
// empty) and late-bound access to the members of such an object by name.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstdint>

#include "runtime/owned.h"
#include "runtime/values.h"

namespace runtime {

// A VARIANT cleared on destruction.
class OwnedVariant {
  public:
    OwnedVariant() { ::VariantInit(&v_); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { ::VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    // Hands the content over and leaves this one empty.
    VARIANT Detach() {
        const VARIANT v = v_;
        ::VariantInit(&v_);
        return v;
    }

  private:
    VARIANT v_{};  // all 16 bytes zero, not only the type
};

inline void FreeBstr(BSTR text) { ::SysFreeString(text); }
using OwnedBstr = Owned<NullEmptyTraits<BSTR, &FreeBstr>>;

// Texts are in the ANSI code page. A null text converts like the empty one.
BSTR NewBstr(const char* text);
// A new heap text, null when empty.
char* TextFromWide(const wchar_t* wide, uint32_t length);

// The interface pointer a COM object value carries in its low word.
inline IDispatch* ObjectOf(const ArgRecord& value) {
    return reinterpret_cast<IDispatch*>(value.low);
}
// The slot of a COM object variable passed by address; null when the record is
// not one.
IDispatch** ObjectVariable(const ArgRecord& record);
// The VARIANT a variant record points at (variables and values alike); null when
// the record is not a variant.
VARIANT* VariantOf(const ArgRecord& record);

// Converts one argument of a member call: logical, date-time, text, numbers,
// COM object and variant. False for any other type; `out` is then left empty.
bool ScalarToVariant(const ArgRecord& value, VARIANT* out);

enum class MemberAccess { kRead, kCall, kWrite };

// Binds `name` on `object` through its type information (by name alone when it
// has none) and invokes it with `args` (for kWrite the last one is the value
// written). On success `result` (optional, unused by writes) receives what the
// member returned. Updates the last-call flag.
bool InvokeMember(IUnknown* object, const char* name, MemberAccess access, int32_t argCount,
                  const ArgRecord* args, VARIANT* result);

// Records whether the last member access through these commands failed; one
// flag per thread.
void SetLastComCallFailed(bool failed);
bool LastComCallFailed();

}  // namespace runtime
