/* uint64_t CallEventHandler(void* handler, const uint32_t* words, uint32_t count)

   Calls an application event handler: the words are pushed from the last to
   the first, so the first stands nearest the return address, and the caller
   removes them afterwards. The handler's 32- or 64-bit result comes back in
   EDX:EAX. */
    .text
    .globl _CallEventHandler
    .def _CallEventHandler; .scl 2; .type 32; .endef
_CallEventHandler:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl %esp, %esi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %edx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  xorl %edx, %edx
    call *8(%ebp)
    movl %esi, %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
