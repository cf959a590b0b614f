// The guard is a frame of our own in the system's exception dispatch: on i686
// a record pushed on the fs:[0] chain, on x86_64 a function whose unwind data
// names our handler. Either way the handler puts the exception before the
// unhandled-exception filter, unwinds the frames inside when told to run the
// handler, and resumes in RunGuarded with the result 0.
#include "host/exception_guard.h"

#include <windows.h>

#include "host/platform_seams.h"

namespace {

// The filter's verdict as the dispatcher wants it; for "run the handler" the
// handler does not return at all.
bool HandlerWanted(EXCEPTION_RECORD *record, CONTEXT *context, EXCEPTION_DISPOSITION &disposition)
{
    // Unwinding passes through here too; it is not ours to judge.
    if (record->ExceptionFlags & EXCEPTION_UNWIND) {
        disposition = ExceptionContinueSearch;
        return false;
    }
    EXCEPTION_POINTERS pointers = {record, context};
    LONG verdict = Platform.UnhandledExceptionFilter(&pointers);
    if (verdict > 0)
        return true;
    disposition = verdict < 0 ? ExceptionContinueExecution : ExceptionContinueSearch;
    return false;
}

} // namespace

#if defined(__i386__)

namespace {

typedef EXCEPTION_DISPOSITION(__cdecl *FrameHandler)(EXCEPTION_RECORD *, void *, CONTEXT *, void *);

// The first two fields are the system's registration record.
struct GuardFrame {
    GuardFrame *Next;
    FrameHandler Handler;
    void *Resume[5];
};

GuardFrame *ReadChainHead()
{
    GuardFrame *head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void WriteChainHead(GuardFrame *head)
{
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

// Runs the unwind handlers of every frame inside ours and leaves ours on top.
// The system's unwinder does not keep ebx, esi and edi, so they are given up.
void UnwindTo(GuardFrame *frame, EXCEPTION_RECORD *record)
{
    asm volatile("pushl $0\n\t"
                 "pushl %1\n\t"
                 "pushl $0\n\t"
                 "pushl %0\n\t"
                 "call *__imp__RtlUnwind@16"
                 : "+a"(frame), "+d"(record)
                 :
                 : "ecx", "ebx", "esi", "edi", "memory", "cc");
}

EXCEPTION_DISPOSITION __cdecl GuardFrameHandler(EXCEPTION_RECORD *record, void *establisher, CONTEXT *context, void *)
{
    EXCEPTION_DISPOSITION disposition;
    if (!HandlerWanted(record, context, disposition))
        return disposition;
    GuardFrame *volatile frame = static_cast<GuardFrame *>(establisher);
    UnwindTo(frame, record);
    WriteChainHead(frame->Next);
    __builtin_longjmp(frame->Resume, 1);
}

} // namespace

__attribute__((noinline)) int32_t RunGuarded(GuardedCall call, const char *argument, int32_t *result)
{
    GuardFrame frame;
    frame.Handler = GuardFrameHandler;
    if (__builtin_setjmp(frame.Resume))
        return 0;
    frame.Next = ReadChainHead();
    WriteChainHead(&frame);
    *result = call(argument);
    WriteChainHead(frame.Next);
    return 1;
}

#elif defined(__x86_64__)

// GuardedCallFrame(call, argument, result) calls call(argument), stores its
// result and gives 1; its unwind data names GuardFrameHandler, and the unwind
// lands on GuardedCallResume, which gives 0 through the same epilogue.
asm(".text\n"
    ".p2align 4\n"
    ".globl GuardedCallFrame\n"
    ".def GuardedCallFrame; .scl 2; .type 32; .endef\n"
    ".seh_proc GuardedCallFrame\n"
    "GuardedCallFrame:\n"
    "    pushq %rbx\n"
    "    .seh_pushreg %rbx\n"
    "    subq $32, %rsp\n"
    "    .seh_stackalloc 32\n"
    "    .seh_handler GuardFrameHandler, @except\n"
    "    .seh_endprologue\n"
    "    movq %r8, %rbx\n"
    "    movq %rcx, %rax\n"
    "    movq %rdx, %rcx\n"
    "    callq *%rax\n"
    "    movl %eax, (%rbx)\n"
    "    movl $1, %eax\n"
    "    addq $32, %rsp\n"
    "    popq %rbx\n"
    "    ret\n"
    ".globl GuardedCallResume\n"
    "GuardedCallResume:\n"
    "    xorl %eax, %eax\n"
    "    addq $32, %rsp\n"
    "    popq %rbx\n"
    "    ret\n"
    ".seh_endproc\n");

extern "C" int32_t GuardedCallFrame(GuardedCall call, const char *argument, int32_t *result);
extern "C" void GuardedCallResume();

extern "C" EXCEPTION_DISPOSITION GuardFrameHandler(EXCEPTION_RECORD *record, void *establisher, CONTEXT *context,
                                                   DISPATCHER_CONTEXT *dispatch)
{
    EXCEPTION_DISPOSITION disposition;
    if (!HandlerWanted(record, context, disposition))
        return disposition;
    RtlUnwindEx(establisher, reinterpret_cast<void *>(GuardedCallResume), record, nullptr, dispatch->ContextRecord,
                dispatch->HistoryTable);
    return ExceptionContinueSearch; // not reached: the unwind resumes in GuardedCallResume
}

int32_t RunGuarded(GuardedCall call, const char *argument, int32_t *result)
{
    return GuardedCallFrame(call, argument, result);
}

#else
#error "the exception guard knows i686 and x86_64 only"
#endif
