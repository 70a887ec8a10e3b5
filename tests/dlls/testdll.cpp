// A small DLL for the binding tests: an entry exported by ordinal only, and a
// stdcall function whose declared argument count can be got wrong.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall ReturnsSeventeen() { return 17; }
extern "C" __declspec(dllexport) int __stdcall TakesTwo(int a, int b) { return a + b; }
