// One owning wrapper for every kind of resource the program holds: kernel
// handles, file searches, loaded modules, GDI objects, device contexts,
// WinINet and CryptoAPI handles, COM interface pointers, OLE for a thread and
// the runtime heap's blocks. Traits name the handle type, the value that
// means "none", and how to let one go:
//
//   struct Traits {
//       using Handle = ...;
//       static Handle Empty();
//       static bool IsValid(Handle handle);  // false also for failure values
//       static void Close(Handle handle);    // called only for valid handles
//   };
//
// Owned<Traits> owns its handle; Borrowed<Traits> only names one that
// something else owns, so the type says which of the two a field holds.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <utility>

namespace runtime {

template <typename TraitsType>
class Owned {
  public:
    using Traits = TraitsType;
    using Handle = typename Traits::Handle;

    Owned() = default;
    // A failure value (an invalid handle) becomes the empty one.
    explicit Owned(Handle handle) : handle_(Traits::IsValid(handle) ? handle : Traits::Empty()) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : handle_(other.Detach()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    Handle operator->() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

    // For a call that writes a new handle: lets the current one go first.
    Handle* Put() {
        Reset();
        return &handle_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // Gives the handle up without letting it go.
    Handle Detach() { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = Traits::IsValid(handle) ? handle : Traits::Empty();
    }

  private:
    Handle handle_ = Traits::Empty();
};

template <typename TraitsType>
class Borrowed {
  public:
    using Traits = TraitsType;
    using Handle = typename Traits::Handle;

    Borrowed() = default;
    explicit Borrowed(Handle handle) : handle_(handle) {}
    Borrowed(const Owned<Traits>& owner) : handle_(owner.get()) {}  // NOLINT: borrowing is implicit

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

  private:
    Handle handle_ = Traits::Empty();
};

// Traits for handles whose empty value is null (or 0).
template <typename HandleType, void (*CloseRoutine)(HandleType)>
struct NullEmptyTraits {
    using Handle = HandleType;
    static Handle Empty() { return Handle(); }
    static bool IsValid(Handle handle) { return handle != Handle(); }
    static void Close(Handle handle) { CloseRoutine(handle); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};
using UniqueHandle = Owned<KernelHandleTraits>;

struct FileSearchTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::FindClose(handle); }
};
using UniqueFileSearch = Owned<FileSearchTraits>;

inline void UnloadModule(HMODULE module) { ::FreeLibrary(module); }
using UniqueModule = Owned<NullEmptyTraits<HMODULE, &UnloadModule>>;

// One reference to a COM interface.
template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle pointer) { return pointer != nullptr; }
    static void Close(Handle pointer) { pointer->Release(); }
};
template <typename Interface>
using ComRef = Owned<ComTraits<Interface>>;

// A library started on the calling thread (OLE): the handle is whether
// the start succeeded, and only then is the library ended.
template <void(WINAPI* EndRoutine)()>
struct ThreadStartTraits {
    using Handle = bool;
    static Handle Empty() { return false; }
    static bool IsValid(Handle started) { return started; }
    static void Close(Handle) { EndRoutine(); }
};
// From a successful OleInitialize.
using OleSession = Owned<ThreadStartTraits<&::OleUninitialize>>;

}  // namespace runtime
