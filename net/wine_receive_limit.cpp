#include "net/wine_receive_limit.h"

#include <winsock2.h>

#include <atomic>

namespace net {

namespace {

using ConnectRoutine = int(WSAAPI*)(SOCKET, const sockaddr*, int);

ConnectRoutine g_systemConnect = nullptr;
std::atomic<DWORD> g_limitMs{0};
thread_local const std::atomic<bool>* t_leftBehind = nullptr;

int WSAAPI ConnectWithReceiveLimit(SOCKET socket, const sockaddr* address, int length) {
    if (t_leftBehind && t_leftBehind->load()) {
        ::WSASetLastError(WSAECONNABORTED);
        return SOCKET_ERROR;
    }
    const int result = g_systemConnect(socket, address, length);
    // WinINet connects without blocking and then reads the last error.
    const int error = ::WSAGetLastError();
    const DWORD limit = g_limitMs.load();
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
                 sizeof limit);
    ::WSASetLastError(error);
    return result;
}

bool RunningOnWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// The slot of `module`'s import address table that holds `routine`; null
// when the module imports it from nowhere.
void** ImportSlotOf(HMODULE module, void* routine) {
    BYTE* const base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (headers->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name; ++library) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
             slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) == routine)
                return reinterpret_cast<void**>(&slot->u1.Function);
        }
    }
    return nullptr;
}

bool ReplaceImport(void** slot, void* replacement) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
    *slot = replacement;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

}  // namespace

void LimitWinInetReceivesOnWine(DWORD limitMs) {
    g_limitMs = limitMs;
    if (g_systemConnect || !RunningOnWine()) return;
    const HMODULE wininet = ::GetModuleHandleA("wininet.dll");
    const HMODULE sockets = ::GetModuleHandleA("ws2_32.dll");  // loaded with WinINet
    if (!wininet || !sockets) return;
    void* const connect = reinterpret_cast<void*>(::GetProcAddress(sockets, "connect"));
    void** const slot = connect ? ImportSlotOf(wininet, connect) : nullptr;
    if (!slot) return;
    g_systemConnect = reinterpret_cast<ConnectRoutine>(connect);
    if (!ReplaceImport(slot, reinterpret_cast<void*>(&ConnectWithReceiveLimit)))
        g_systemConnect = nullptr;
}

RefuseConnectsOnceLeftBehind::RefuseConnectsOnceLeftBehind(const std::atomic<bool>& leftBehind) {
    t_leftBehind = &leftBehind;
}

RefuseConnectsOnceLeftBehind::~RefuseConnectsOnceLeftBehind() { t_leftBehind = nullptr; }

}  // namespace net
