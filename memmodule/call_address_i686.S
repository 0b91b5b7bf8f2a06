/* CallAddress (cdecl, i686): pushes the ten slots, calls code, then takes the
   stack pointer back from the frame, whatever the callee removed. ebx, esi and
   edi are saved as well, for callees that do not keep them as they should. */
    .text
    .globl _CallAddress
    .def _CallAddress; .scl 2; .type 32; .endef
_CallAddress:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl $10, %ecx
1:  pushl 8(%ebp,%ecx,4)        /* a10 first, a1 last: a1 nearest the return address */
    loop 1b
    call *8(%ebp)
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
