/* The application's fixed entry points into the runtime. Each only jumps
   through its slot of the service table at the head of g_appImage, so the
   arguments reach the runtime's routine exactly as the caller pushed them.
   ReallocMemory (slot 7) has no entry: application code never calls it. */
/* The start of the application code. Event-handler offsets in the window
   templates count from AppCodeStart + 4, where the linker puts the handler
   jump table of the program's templates: input sections named .text$... are
   laid out sorted by name, so the table's section follows this one. */
    .section .text$velmora_a,"xr"
    .p2align 2
    .globl _AppCodeStart
_AppCodeStart:
    .fill 4, 1, 0xCC

    .text

.macro SERVICE_ENTRY name, slot
    .globl _\name
    .def _\name; .scl 2; .type 32; .endef
_\name:
    jmp *_g_appImage+4*\slot
.endm

    SERVICE_ENTRY RaiseRuntimeError, 0
    SERVICE_ENTRY CallDllCommand, 1
    SERVICE_ENTRY CallLibraryCommand, 2
    SERVICE_ENTRY CallCoreCommand, 3
    SERVICE_ENTRY ReadUnitProperty, 4
    SERVICE_ENTRY WriteUnitProperty, 5
    SERVICE_ENTRY AllocMemory, 6
    SERVICE_ENTRY FreeMemory, 8
    SERVICE_ENTRY EndProgram, 9
    SERVICE_ENTRY RunMessageLoop, 10
    SERVICE_ENTRY LoadWindow, 11
    SERVICE_ENTRY NotifyRuntime, 12
