// Commands on COM objects (tag 0x10030) and variants (tag 0x10031). A COM
// object variable arrives as the address of its 4-byte IDispatch slot, a COM
// object value as the interface pointer itself; a variant, variable or value,
// as the address of its 16-byte VARIANT. Members are reached by name at run
// time. None of these commands raises a run-time error: a failure gives the
// empty result and, for member access, sets the last-call flag (com_object.h).
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace runtime {

// (COM object variable, class name text, [type library file text]) -> logical.
// On failure the variable keeps what it held.
void CreateObject(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// The member reads and calls: (COM object, member name text, [member arguments...]).
// -> text.
void ReadTextProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// -> double.
void ReadDoubleProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// -> COM object, a new reference owned by the caller; result tag 0x10030.
void ReadObjectProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// -> variant: a new 16-byte heap block holding a VARIANT, or null when the read
// failed; result tag 0x10031. The caller clears it (VariantClear) and frees it
// (FreeMemory).
void ReadVariantProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// -> text.
void CallTextMethod(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// -> COM object, as ReadObjectProperty.
void CallObjectMethod(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// (COM object, member name text, [index arguments...], value) -> logical.
void WriteProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// (COM object variable, source COM object): the variable takes a new reference
// to the source's object, or becomes empty.
void AssignObject(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (COM object variable): releases and empties it.
void ReleaseObject(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (COM object) -> logical: true when it holds no object.
void IsObjectEmpty(ArgRecord* result, int32_t argCount, const ArgRecord* args);

// (variant variable, source variant): the destination becomes a copy.
void CopyVariant(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (variant variable): releases what it holds and zeroes all 16 bytes.
void ClearVariant(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (variant) -> text: the variant converted to a string, references resolved.
void VariantToText(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (variant variable, value, [variant type code integer]) -> logical. Byte sets
// and byte arrays become safe arrays of VT_UI1, other arrays safe arrays of
// VARIANTs holding the converted elements in memory order. With a type code
// the value is then converted to that VARTYPE. On failure the variable keeps
// what it held.
void SetVariant(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
