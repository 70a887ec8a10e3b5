#include "runtime/system_error_text.h"

#include "runtime/command_args.h"
#include "runtime/memory.h"

namespace runtime {

std::string SystemErrorText(DWORD code, HMODULE module) {
    char text[512];
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    DWORD length = ::FormatMessageA(flags, module, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    return std::string(text, length);
}

void LastErrorText(ArgRecord* result, int32_t, const ArgRecord*) {
    const std::string text = SystemErrorText(::GetLastError());
    SetText(result, NewText(text.data(), text.size()));
}

}  // namespace runtime
