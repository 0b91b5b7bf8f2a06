/* CallAddress (x86-64, the platform's x64 convention): a1..a4 go in rcx, rdx, r8
   and r9, a5..a10 on the stack above the callee's 32-byte home area. The frame
   pointer takes the stack pointer back afterwards; the unwind data lets code
   called through here unwind into the caller. */
    .text
    .globl CallAddress
    .def CallAddress; .scl 2; .type 32; .endef
    .seh_proc CallAddress
CallAddress:
    pushq %rbp
    .seh_pushreg %rbp
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    subq $80, %rsp              /* home area and six stack slots; keeps 16-byte alignment */
    .seh_stackalloc 80
    .seh_endprologue
    movq %rcx, %r10             /* code */
    movq %rdx, %rcx             /* a1 */
    movq %r8, %rdx              /* a2 */
    movq %r9, %r8               /* a3 */
    movq 48(%rbp), %r9          /* a4: our own fifth argument, above our home area */
    movq 56(%rbp), %rax         /* a5 .. a10 */
    movq %rax, 32(%rsp)
    movq 64(%rbp), %rax
    movq %rax, 40(%rsp)
    movq 72(%rbp), %rax
    movq %rax, 48(%rsp)
    movq 80(%rbp), %rax
    movq %rax, 56(%rsp)
    movq 88(%rbp), %rax
    movq %rax, 64(%rsp)
    movq 96(%rbp), %rax
    movq %rax, 72(%rsp)
    call *%r10
    leaq (%rbp), %rsp
    popq %rbp
    ret
    .seh_endproc
