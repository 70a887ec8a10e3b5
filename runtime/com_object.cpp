#include "runtime/com_object.h"

#include <cstring>
#include <vector>

#include "runtime/date_time.h"
#include "runtime/memory.h"

namespace runtime {

namespace {

thread_local bool t_lastCallFailed = false;

// The arguments of one Invoke, cleared together.
class ArgumentList {
  public:
    explicit ArgumentList(int32_t count) : items_(count) {
        for (VARIANT& v : items_) ::VariantInit(&v);
    }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList() {
        for (VARIANT& v : items_) ::VariantClear(&v);
    }

    VARIANT* Data() { return items_.data(); }
    VARIANT& operator[](size_t i) { return items_[i]; }

  private:
    std::vector<VARIANT> items_;
};

struct BoundMember {
    DISPID id;
    WORD dispatchFlags;
};

// Objects that give no type information (Wine's match collections among them)
// are bound by name alone, and the object picks the kind of member.
bool BindByName(IDispatch* dispatch, BSTR name, MemberAccess access, BoundMember* out) {
    LPOLESTR names[] = {name};
    if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &out->id))) {
        return false;
    }
    out->dispatchFlags = access == MemberAccess::kWrite ? DISPATCH_PROPERTYPUT
                                                        : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    return true;
}

// INVOKEKIND values equal the DISPATCH_* flags that invoke that kind of member.
bool BindMember(IDispatch* dispatch, BSTR name, MemberAccess access, BoundMember* out) {
    ComRef<ITypeInfo> info;
    if (FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put())) || !info) {
        return BindByName(dispatch, name, access, out);
    }
    ComRef<ITypeComp> comp;
    if (FAILED(info->GetTypeComp(comp.Put())) || !comp) return false;
    const ULONG hash = ::LHashValOfNameSys(SYS_WIN32, LOCALE_USER_DEFAULT, name);

    static constexpr WORD kReadKinds[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
    static constexpr WORD kCallKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET};
    static constexpr WORD kWriteKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
    const WORD* kinds = access == MemberAccess::kRead   ? kReadKinds
                        : access == MemberAccess::kCall ? kCallKinds
                                                        : kWriteKinds;
    for (int i = 0; i < 2; ++i) {
        ComRef<ITypeInfo> boundInfo;
        DESCKIND descKind = DESCKIND_NONE;
        BINDPTR bound{};
        if (FAILED(comp->Bind(name, hash, kinds[i], boundInfo.Put(), &descKind, &bound))) continue;
        switch (descKind) {
            case DESCKIND_FUNCDESC:
                out->id = bound.lpfuncdesc->memid;
                out->dispatchFlags = kinds[i];
                if (boundInfo) boundInfo->ReleaseFuncDesc(bound.lpfuncdesc);
                return true;
            case DESCKIND_VARDESC:
            case DESCKIND_IMPLICITAPPOBJ:
                // A data member is read as a property whatever kind was asked for.
                out->id = bound.lpvardesc->memid;
                out->dispatchFlags =
                    access == MemberAccess::kWrite ? kinds[i] : WORD{DISPATCH_PROPERTYGET};
                if (boundInfo) boundInfo->ReleaseVarDesc(bound.lpvardesc);
                return true;
            case DESCKIND_TYPECOMP:
                ComRef<ITypeComp>{bound.lptcomp};  // a module's scope: not a member
                break;
            default:
                break;
        }
    }
    return false;
}

bool Invoke(IUnknown* object, const char* name, MemberAccess access, int32_t argCount,
            const ArgRecord* args, VARIANT* result) {
    if (!object || argCount < 0 || (access == MemberAccess::kWrite && argCount < 1)) return false;
    ComRef<IDispatch> dispatch;
    if (FAILED(object->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) return false;
    OwnedBstr wideName(NewBstr(name));
    BoundMember member{};
    if (!wideName.get() || !BindMember(dispatch.get(), wideName.get(), access, &member)) {
        return false;
    }

    // DISPPARAMS lists the arguments last first; for a write the value, the
    // last argument, is the one named DISPID_PROPERTYPUT.
    ArgumentList list(argCount);
    for (int32_t i = 0; i < argCount; ++i) {
        if (!ScalarToVariant(args[i], &list[argCount - 1 - i])) return false;
    }
    DISPID putId = DISPID_PROPERTYPUT;
    const bool write = access == MemberAccess::kWrite;
    DISPPARAMS params{list.Data(), write ? &putId : nullptr, static_cast<UINT>(argCount),
                      write ? 1u : 0u};
    OwnedVariant unused;
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr =
        dispatch->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, member.dispatchFlags, &params,
                         write ? nullptr : (result ? result : unused.get()), &exception, &argError);
    // The exception's texts are ours to free, and nothing here reads them.
    const OwnedBstr texts[] = {OwnedBstr(exception.bstrSource),
                               OwnedBstr(exception.bstrDescription),
                               OwnedBstr(exception.bstrHelpFile)};
    return SUCCEEDED(hr);
}

}  // namespace

BSTR NewBstr(const char* text) {
    if (!text) text = "";
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);  // with the zero
    BSTR wide = ::SysAllocStringLen(nullptr, length > 1 ? length - 1 : 0);
    if (wide && length > 1) ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length);
    return wide;
}

char* TextFromWide(const wchar_t* wide, uint32_t length) {
    if (!wide || length == 0) return nullptr;
    const int wideLength = static_cast<int>(length);
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return nullptr;
    char* text = static_cast<char*>(AllocMemory(static_cast<uint32_t>(size) + 1));
    ::WideCharToMultiByte(CP_ACP, 0, wide, wideLength, text, size, nullptr, nullptr);
    text[size] = '\0';
    return text;
}

IDispatch** ObjectVariable(const ArgRecord& record) {
    if (record.tag != tag::kComObject) return nullptr;
    return reinterpret_cast<IDispatch**>(record.low);
}

VARIANT* VariantOf(const ArgRecord& record) {
    if (record.tag != tag::kVariant) return nullptr;
    return reinterpret_cast<VARIANT*>(record.low);
}

bool ScalarToVariant(const ArgRecord& value, VARIANT* out) {
    ::VariantInit(out);
    switch (value.tag) {
        case tag::kLogical:
            V_VT(out) = VT_BOOL;
            V_BOOL(out) = value.low ? VARIANT_TRUE : VARIANT_FALSE;
            return true;
        case tag::kDateTime:
            V_VT(out) = VT_DATE;
            V_DATE(out) = ClampDate(DoubleOf(value));
            return true;
        case tag::kText:
            V_BSTR(out) = NewBstr(reinterpret_cast<const char*>(value.low));
            if (!V_BSTR(out)) return false;
            V_VT(out) = VT_BSTR;
            return true;
        case tag::kByte:
            V_VT(out) = VT_UI1;
            V_UI1(out) = static_cast<BYTE>(value.low);
            return true;
        case tag::kShort:
            V_VT(out) = VT_I2;
            V_I2(out) = static_cast<SHORT>(value.low);
            return true;
        case tag::kInteger:
        case tag::kLong:  // only the low 32 bits travel
            V_VT(out) = VT_I4;
            V_I4(out) = static_cast<LONG>(value.low);
            return true;
        case tag::kFloat:
            V_VT(out) = VT_R4;
            std::memcpy(&V_R4(out), &value.low, sizeof(float));
            return true;
        case tag::kDouble:
            V_VT(out) = VT_R8;
            V_R8(out) = DoubleOf(value);
            return true;
        case tag::kComObject:
            V_VT(out) = VT_DISPATCH;
            V_DISPATCH(out) = ObjectOf(value);
            if (V_DISPATCH(out)) V_DISPATCH(out)->AddRef();
            return true;
        case tag::kVariant: {
            VARIANT* source = VariantOf(value);
            if (source && SUCCEEDED(::VariantCopyInd(out, source))) return true;
            ::VariantInit(out);
            return false;
        }
        default:
            return false;
    }
}

bool InvokeMember(IUnknown* object, const char* name, MemberAccess access, int32_t argCount,
                  const ArgRecord* args, VARIANT* result) {
    const bool succeeded = Invoke(object, name, access, argCount, args, result);
    SetLastComCallFailed(!succeeded);
    return succeeded;
}

void SetLastComCallFailed(bool failed) { t_lastCallFailed = failed; }

bool LastComCallFailed() { return t_lastCallFailed; }

}  // namespace runtime
