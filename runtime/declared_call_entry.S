/* CallDllCommandService: EAX holds the declaration's number and the stack
   holds the return address and the stdcall arguments of the declared call.
   Binding must leave them untouched, so that the jump below makes the callee
   see exactly the frame the application built. */
    .text
    .globl _CallDllCommandService
    .def _CallDllCommandService; .scl 2; .type 32; .endef
_CallDllCommandService:
    pushl %eax
    call _BindDeclaredCallForEntry
    addl $4, %esp
    jmp *%eax
