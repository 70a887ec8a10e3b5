// Stands in for a merge tool that works slowly or hangs, writing nothing to
// its standard output or error:
//   slow_tool FILE MS   appends a byte to FILE every 20 ms for MS milliseconds, then exits 0
//   slow_tool           never exits, nor when given a merge tool's options (-f ...)
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3 || argv[1][0] == '-') {
        ::Sleep(INFINITE);
        return 1;
    }
    const DWORD lastsMs = std::strtoul(argv[2], nullptr, 10);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < lastsMs) {
        HANDLE file = ::CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, "x", 1, &written, nullptr);
        ::CloseHandle(file);
        ::Sleep(20);
    }
    return 0;
}
