// Binding of the system functions an application declares by library and
// entry name. A call is bound on its first use and stays bound until the end.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/app_header.h"

namespace runtime {

// Sizes the four tables to the header's declaration count and fills names.
void PrepareDeclaredCalls(const AppHeader& header);

// Entry address of declaration `number`; reports a run-time error when the
// library or entry cannot be found.
void* BindDeclaredCall(uint32_t number);

// What declaration `number` is bound to: its module and entry, null while it
// is not bound (and for a number out of range).
HMODULE DeclaredCallModule(uint32_t number);
void* DeclaredCallEntry(uint32_t number);

// Frees every module loaded for a declaration and clears the tables.
void FreeDeclaredCallModules();

// The CallDllCommand service: the declaration's number in EAX, the call's own
// arguments on the stack as for any stdcall function. It binds, then jumps to
// the entry, which returns straight to the caller.
extern "C" void CallDllCommandService();

}  // namespace runtime
