// Stands beside the test programs under the name of a system DLL: binding must
// prefer it to the system's own, which GetFileVersionInfoSizeA's 4242 shows.
// Wine's own DLLs in these processes load it too, so every export of the
// system version.dll is here, answering "no version information". The
// functions carry a prefix so that they do not clash with the system's
// declarations; the module definition exports them under their own names.
#include <windows.h>

namespace {
DWORD NoVersion() {
    ::SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return 0;
}
}  // namespace

extern "C" {
DWORD __stdcall StubGetFileVersionInfoSizeA(LPCSTR, LPDWORD) { return 4242; }
DWORD __stdcall StubGetFileVersionInfoSizeW(LPCWSTR, LPDWORD) { return NoVersion(); }
DWORD __stdcall StubGetFileVersionInfoSizeExA(DWORD, LPCSTR, LPDWORD) { return NoVersion(); }
DWORD __stdcall StubGetFileVersionInfoSizeExW(DWORD, LPCWSTR, LPDWORD) { return NoVersion(); }
BOOL __stdcall StubGetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) { return NoVersion(); }
BOOL __stdcall StubGetFileVersionInfoW(LPCWSTR, DWORD, DWORD, LPVOID) { return NoVersion(); }
BOOL __stdcall StubGetFileVersionInfoExA(DWORD, LPCSTR, DWORD, DWORD, LPVOID) {
    return NoVersion();
}
BOOL __stdcall StubGetFileVersionInfoExW(DWORD, LPCWSTR, DWORD, DWORD, LPVOID) {
    return NoVersion();
}
BOOL __stdcall StubGetFileVersionInfoByHandle(DWORD, HANDLE, LPVOID, DWORD) { return NoVersion(); }
BOOL __stdcall StubVerQueryValueA(LPCVOID, LPCSTR, LPVOID*, PUINT) { return NoVersion(); }
BOOL __stdcall StubVerQueryValueW(LPCVOID, LPCWSTR, LPVOID*, PUINT) { return NoVersion(); }
DWORD __stdcall StubVerFindFileA(DWORD, LPCSTR, LPCSTR, LPCSTR, LPSTR, PUINT, LPSTR, PUINT) {
    return NoVersion();
}
DWORD __stdcall StubVerFindFileW(DWORD, LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, PUINT, LPWSTR, PUINT) {
    return NoVersion();
}
DWORD __stdcall StubVerInstallFileA(DWORD, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPSTR, PUINT) {
    return NoVersion();
}
DWORD __stdcall StubVerInstallFileW(DWORD, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR,
                                    PUINT) {
    return NoVersion();
}
DWORD __stdcall StubVerLanguageNameA(DWORD, LPSTR, DWORD) { return NoVersion(); }
DWORD __stdcall StubVerLanguageNameW(DWORD, LPWSTR, DWORD) { return NoVersion(); }
}
