// Stands beside the test programs under a system DLL's name: binding must
// prefer it to the system's own.
#include <windows.h>

extern "C" DWORD __stdcall GetFileVersionInfoSizeA(LPCSTR, LPDWORD) { return 4242; }
