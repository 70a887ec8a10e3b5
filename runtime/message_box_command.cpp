#include "runtime/message_box_command.h"

#include <windows.h>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/value_text.h"
#include "runtime/window_engine.h"

namespace runtime {

namespace {

// Numbers, texts, logicals and dates are shown; anything else shows nothing.
char* ContentText(const ArgRecord& content) {
    const bool shown = IsNumericTag(content.tag) || content.tag == tag::kText ||
                       content.tag == tag::kLogical || content.tag == tag::kDateTime;
    return shown ? ValueToText(content) : nullptr;
}

HWND OwnerWindow(const ArgRecord& owner) {
    if (owner.tag == tag::kInteger) return reinterpret_cast<HWND>(owner.low);
    const WindowEngine* engine = AttachedWindowEngine();
    if (IsLibraryTypeTag(owner.tag) && engine) return engine->nativeWindowOf(owner.low, owner.high);
    return nullptr;
}

int32_t TranslateButton(int pressed) {
    switch (pressed) {
        case IDOK:
            return 0;
        case IDCANCEL:
            return 1;
        case IDABORT:
            return 2;
        case IDRETRY:
            return 3;
        case IDIGNORE:
            return 4;
        case IDYES:
            return 5;
        case IDNO:
            return 6;
        default:
            return 0;
    }
}

}  // namespace

void ShowMessageBox(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 2) return;
    const OwnedBlock content(ContentText(args[0]));
    UINT flags = static_cast<UINT>(IntegerArgument(args[1]));
    if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
    const char* caption = IsGiven(argCount, args, 2) ? TextArgument(args[2]) : "信息：";
    HWND owner = IsGiven(argCount, args, 3) ? OwnerWindow(args[3]) : nullptr;

    const char* text = content ? static_cast<const char*>(content.get()) : "";
    const int pressed = ::MessageBoxA(owner, text, caption, flags);
    SetInteger(result, TranslateButton(pressed));
}

}  // namespace runtime
