#include "runtime/com_commands.h"

#include <utility>

#include <cstring>
#include <vector>

#include "runtime/com_object.h"
#include "runtime/memory.h"

namespace runtime {

namespace {

// Without DCOM, CoCreateInstance refuses the remote-server flag with E_INVALIDARG.
constexpr DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD kLocalServers = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
constexpr int kMaxClassMatches = 16;

const char* TextOf(const ArgRecord& value) {
    const char* text = reinterpret_cast<const char*>(value.low);
    return text ? text : "";
}

void CreateFromTypeLibrary(const char* className, const char* libraryFile, ComRef<IUnknown>* out) {
    OwnedBstr path(NewBstr(libraryFile));
    ComRef<ITypeLib> library;
    if (!path.get() || FAILED(::LoadTypeLib(path.get(), library.Put())) || !library) return;
    // FindName may rewrite the name's case in place, so it gets a copy of its own.
    OwnedBstr name(NewBstr(className));
    if (name.get()) {
        const ULONG hash = ::LHashValOfNameSys(SYS_WIN32, LOCALE_USER_DEFAULT, name.get());
        ITypeInfo* found[kMaxClassMatches] = {};
        MEMBERID ids[kMaxClassMatches] = {};
        USHORT count = kMaxClassMatches;
        if (SUCCEEDED(library->FindName(name.get(), hash, found, ids, &count))) {
            for (USHORT i = 0; i < count; ++i) {
                ComRef<ITypeInfo> info(found[i]);
                // Only a type itself, not one of its members, can be instantiated.
                if (!*out && info && ids[i] == MEMBERID_NIL) {
                    info->CreateInstance(nullptr, IID_IUnknown, out->PutVoid());
                }
            }
        }
    }
    if (std::strchr(libraryFile, '\\')) ::RegisterTypeLib(library.get(), path.get(), nullptr);
}

void CreateFromClassName(const char* className, ComRef<IUnknown>* out) {
    OwnedBstr name(NewBstr(className));
    if (!name.get()) return;
    CLSID clsid;
    const HRESULT found = className[0] == '{' ? ::CLSIDFromString(name.get(), &clsid)
                                              : ::CLSIDFromProgID(name.get(), &clsid);
    if (FAILED(found)) return;
    const HRESULT created =
        ::CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, out->PutVoid());
    if (created == E_INVALIDARG) {
        ::CoCreateInstance(clsid, nullptr, kLocalServers, IID_IUnknown, out->PutVoid());
    }
}

// Converts `source` (by reference or not) to `type` into `out`.
bool ChangeType(VARIANT* source, VARTYPE type, VARIANT* out) {
    return SUCCEEDED(::VariantCopyInd(out, source)) &&
           SUCCEEDED(::VariantChangeType(out, out, 0, type));
}

bool VariantToAnsi(VARIANT* source, char** text) {
    OwnedVariant converted;
    if (!ChangeType(source, VT_BSTR, converted.get())) return false;
    const BSTR wide = V_BSTR(converted.get());
    *text = TextFromWide(wide, ::SysStringLen(wide));
    return true;
}

void StoreDouble(ArgRecord* result, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    result->low = static_cast<uint32_t>(bits);
    result->high = static_cast<uint32_t>(bits >> 32);
}

// A member read or call from (object, name, member arguments...).
bool InvokeFromArgs(int32_t argCount, const ArgRecord* args, MemberAccess access, VARIANT* result) {
    if (argCount < 2 || args[0].tag != tag::kComObject || args[1].tag != tag::kText) {
        SetLastComCallFailed(true);
        return false;
    }
    return InvokeMember(ObjectOf(args[0]), TextOf(args[1]), access, argCount - 2, args + 2, result);
}

void MemberToText(ArgRecord* result, int32_t argCount, const ArgRecord* args, MemberAccess access) {
    OwnedVariant value;
    if (!InvokeFromArgs(argCount, args, access, value.get())) return;
    char* text = nullptr;
    if (!VariantToAnsi(value.get(), &text)) SetLastComCallFailed(true);
    result->low = reinterpret_cast<uint32_t>(text);
}

void MemberToObject(ArgRecord* result, int32_t argCount, const ArgRecord* args,
                    MemberAccess access) {
    result->tag = tag::kComObject;
    OwnedVariant value;
    if (!InvokeFromArgs(argCount, args, access, value.get())) return;
    OwnedVariant object;
    if (!ChangeType(value.get(), VT_DISPATCH, object.get())) {
        SetLastComCallFailed(true);
        return;
    }
    result->low = reinterpret_cast<uint32_t>(V_DISPATCH(object.get()));
    object.Detach();  // the reference now belongs to the caller
}

bool ByteArrayToVariant(const uint8_t* bytes, std::vector<SAFEARRAYBOUND>& bounds, uint32_t count,
                        VARIANT* out) {
    SAFEARRAY* array = ::SafeArrayCreate(VT_UI1, static_cast<UINT>(bounds.size()), bounds.data());
    if (!array) return false;
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) {
        ::SafeArrayDestroy(array);
        return false;
    }
    if (count) std::memcpy(data, bytes, count);
    ::SafeArrayUnaccessData(array);
    V_VT(out) = VT_ARRAY | VT_UI1;
    V_ARRAY(out) = array;
    return true;
}

bool ValueToVariant(const ArgRecord& value, VARIANT* out);

bool ElementsToVariant(const uint8_t* elements, TypeTag elementTag,
                       std::vector<SAFEARRAYBOUND>& bounds, uint32_t count, VARIANT* out) {
    const uint32_t size = ElementSize(elementTag);
    if (size == 0) return false;
    SAFEARRAY* array =
        ::SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data());
    if (!array) return false;
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) {
        ::SafeArrayDestroy(array);
        return false;
    }
    auto* items = static_cast<VARIANT*>(data);
    bool converted = true;
    for (uint32_t i = 0; i < count && converted; ++i) {
        ArgRecord element{0, 0, elementTag};
        const uint8_t* p = elements + i * size;
        std::memcpy(&element.low, p, size < 4 ? size : 4);
        if (size == 8) std::memcpy(&element.high, p + 4, 4);
        converted = ValueToVariant(element, &items[i]);
    }
    ::SafeArrayUnaccessData(array);
    if (!converted) {
        ::SafeArrayDestroy(array);  // clears the elements already stored
        return false;
    }
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array;
    return true;
}

bool ArrayToVariant(const ArgRecord& value, VARIANT* out) {
    const auto* block = reinterpret_cast<const int32_t*>(value.low);
    std::vector<SAFEARRAYBOUND> bounds;
    uint32_t count = 0;
    const uint8_t* elements = nullptr;
    if (block) {
        for (int32_t d = 0; d < block[0]; ++d) {
            bounds.push_back({static_cast<ULONG>(block[1 + d]), 0});
        }
        count = ArrayElementCount(block);
        elements = reinterpret_cast<const uint8_t*>(block) + ArrayHeaderSize(block);
    }
    if (bounds.empty()) bounds.push_back({0, 0});
    const TypeTag elementTag = ElementTag(value.tag);
    if (elementTag == tag::kByte) return ByteArrayToVariant(elements, bounds, count, out);
    return ElementsToVariant(elements, elementTag, bounds, count, out);
}

bool ValueToVariant(const ArgRecord& value, VARIANT* out) {
    ::VariantInit(out);
    if (value.tag == tag::kByteSet) {
        const void* byteSet = reinterpret_cast<const void*>(value.low);
        const uint32_t length = ByteSetLength(byteSet);
        std::vector<SAFEARRAYBOUND> bounds{{length, 0}};
        return ByteArrayToVariant(length ? ByteSetData(byteSet) : nullptr, bounds, length, out);
    }
    if (IsArrayTag(value.tag)) return ArrayToVariant(value, out);
    return ScalarToVariant(value, out);
}

}  // namespace

void CreateObject(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    IDispatch** variable = argCount >= 2 ? ObjectVariable(args[0]) : nullptr;
    if (!variable || args[1].tag != tag::kText) return;
    const char* className = TextOf(args[1]);
    const bool hasLibrary = argCount >= 3 && args[2].tag == tag::kText && *TextOf(args[2]);

    ComRef<IUnknown> created;
    if (className[0] != '{' && hasLibrary) {
        CreateFromTypeLibrary(className, TextOf(args[2]), &created);
    }
    if (!created) CreateFromClassName(className, &created);
    if (!created || FAILED(::OleRun(created.get()))) return;
    ComRef<IDispatch> dispatch;
    if (FAILED(created->QueryInterface(IID_IDispatch, dispatch.PutVoid())) || !dispatch) return;

    const ComRef<IDispatch> replaced(std::exchange(*variable, dispatch.Detach()));
    result->low = 1;
}

void ReadTextProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    MemberToText(result, argCount, args, MemberAccess::kRead);
}

void ReadDoubleProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    OwnedVariant value;
    if (!InvokeFromArgs(argCount, args, MemberAccess::kRead, value.get())) return;
    OwnedVariant number;
    if (!ChangeType(value.get(), VT_R8, number.get())) {
        SetLastComCallFailed(true);
        return;
    }
    StoreDouble(result, V_R8(number.get()));
}

void ReadObjectProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    MemberToObject(result, argCount, args, MemberAccess::kRead);
}

void ReadVariantProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    result->tag = tag::kVariant;
    OwnedVariant value;
    if (!InvokeFromArgs(argCount, args, MemberAccess::kRead, value.get())) return;
    auto* block = static_cast<VARIANT*>(AllocMemory(sizeof(VARIANT)));
    *block = value.Detach();
    result->low = reinterpret_cast<uint32_t>(block);
}

void CallTextMethod(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    MemberToText(result, argCount, args, MemberAccess::kCall);
}

void CallObjectMethod(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    MemberToObject(result, argCount, args, MemberAccess::kCall);
}

void WriteProperty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    result->low = InvokeFromArgs(argCount, args, MemberAccess::kWrite, nullptr) ? 1 : 0;
}

void AssignObject(ArgRecord*, int32_t argCount, const ArgRecord* args) {
    IDispatch** variable = argCount >= 2 ? ObjectVariable(args[0]) : nullptr;
    if (!variable || args[1].tag != tag::kComObject) return;
    IDispatch* source = ObjectOf(args[1]);
    // Take the new reference first: the source may be the variable's own object.
    if (source) source->AddRef();
    const ComRef<IDispatch> replaced(std::exchange(*variable, source));
}

void ReleaseObject(ArgRecord*, int32_t argCount, const ArgRecord* args) {
    IDispatch** variable = argCount >= 1 ? ObjectVariable(args[0]) : nullptr;
    if (!variable) return;
    const ComRef<IDispatch> released(std::exchange(*variable, nullptr));
}

void IsObjectEmpty(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const bool holdsObject = argCount >= 1 && args[0].tag == tag::kComObject && args[0].low;
    result->low = holdsObject ? 0 : 1;
}

void CopyVariant(ArgRecord*, int32_t argCount, const ArgRecord* args) {
    VARIANT* destination = argCount >= 1 ? VariantOf(args[0]) : nullptr;
    if (!destination) return;
    VARIANT* source = argCount >= 2 ? VariantOf(args[1]) : nullptr;
    // Copy before clearing: the source may be the destination itself.
    OwnedVariant copy;
    if (source && FAILED(::VariantCopy(copy.get(), source))) ::VariantInit(copy.get());
    ::VariantClear(destination);
    *destination = copy.Detach();
}

void ClearVariant(ArgRecord*, int32_t argCount, const ArgRecord* args) {
    VARIANT* variant = argCount >= 1 ? VariantOf(args[0]) : nullptr;
    if (!variant) return;
    ::VariantClear(variant);
    std::memset(variant, 0, sizeof(VARIANT));
}

void VariantToText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    VARIANT* variant = argCount >= 1 ? VariantOf(args[0]) : nullptr;
    char* text = nullptr;
    if (variant) VariantToAnsi(variant, &text);
    result->low = reinterpret_cast<uint32_t>(text);
}

void SetVariant(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    VARIANT* destination = argCount >= 2 ? VariantOf(args[0]) : nullptr;
    if (!destination) return;
    OwnedVariant value;
    if (!ValueToVariant(args[1], value.get())) return;
    if (argCount >= 3 && args[2].tag != tag::kNone) {
        if (args[2].tag != tag::kInteger) return;
        const auto type = static_cast<VARTYPE>(args[2].low);
        if (FAILED(::VariantChangeType(value.get(), value.get(), 0, type))) return;
    }
    ::VariantClear(destination);
    *destination = value.Detach();
    result->low = 1;
}

}  // namespace runtime
