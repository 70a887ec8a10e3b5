/* uint64_t InvokeDeclaredCall(uint32_t number, const uint32_t* words,
                               uint32_t count, uint32_t* stackMismatch)

   Pushes the words as a stdcall call's arguments, calls the declaration
   through CallDllCommand and compares the stack pointer afterwards: a callee
   that removed a different number of bytes than were pushed means the
   declaration does not match the function. The stack is then put right and
   *stackMismatch set, so that the caller can raise the error. */
    .text
    .globl _InvokeDeclaredCall
    .def _InvokeDeclaredCall; .scl 2; .type 32; .endef
_InvokeDeclaredCall:
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
2:  movl 8(%ebp), %eax
    call _CallDllCommand
    cmpl %esp, %esi
    je 3f
    movl %esi, %esp
    movl 20(%ebp), %ecx
    movl $1, (%ecx)
3:  popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
