#include "ui/window_commands.h"

#include <windows.h>

#include "runtime/command_args.h"
#include "runtime/error_reporter.h"
#include "ui/busy_messages.h"
#include "ui/input_barrier.h"
#include "ui/window_lifecycle.h"
#include "ui/window_services.h"

namespace ui {

using namespace runtime;

namespace {

constexpr LPARAM kPastTheEnd = 0x7FFFFFFF;

}  // namespace

void AddText(ArgRecord*, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    HWND box = NativeWindowOf(args[0].low, args[0].high);
    if (!box) Report(messages::kWindowOrUnitMissing, 0);
    for (int32_t i = 1; i < argCount; ++i) {
        if (args[i].tag != tag::kText) continue;
        // The control clamps a position past the end to the end, in characters;
        // asking for the text's length instead would copy the whole log.
        ::SendMessageA(box, EM_SETSEL, kPastTheEnd, kPastTheEnd);
        ::SendMessageA(box, EM_SCROLLCARET, 0, 0);
        ::SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(TextArgument(args[i])));
    }
}

void WindowHandleOf(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    SetPointer(result, NativeWindowOf(args[0].low, args[0].high));
}

void LoadWindowCommand(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const uint32_t windowId = args[0].low;
    HWND owner = nullptr;
    if (IsGiven(argCount, args, 1)) {
        owner = NativeWindowOf(args[1].low, args[1].high);
        if (!owner) return;
    }
    const bool modal = argCount > 2 && args[2].low != 0;
    if (!LoadWindowFromTemplate(windowId, false, modal, owner)) return;
    SetLogical(result, true);
    if (modal) RunModal(windowId);
}

void DiscardPendingInput(ArgRecord*, int32_t, const ArgRecord*) {
    DropInputBefore(::GetTickCount());
}

void HandleWaitingMessages(ArgRecord* result, int32_t, const ArgRecord*) {
    SetInteger(result, static_cast<int32_t>(HandleMessagesWhileBusy()));
}

}  // namespace ui
