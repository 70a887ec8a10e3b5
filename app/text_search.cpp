#include "app/text_search.h"

#include "app/calls.h"
#include "runtime/text_commands.h"

namespace app {

namespace {
constexpr runtime::ArgRecord kOmitted = {0, 0, 0};
}

int32_t Find(const char* text, const char* sought) {
    const runtime::ArgRecord args[] = {TextArg(text), TextArg(sought), kOmitted, LogicalArg(false)};
    return static_cast<int32_t>(CallCore(runtime::FindText, args).low);
}

int32_t FindLast(const char* text, const char* sought) {
    const runtime::ArgRecord args[] = {TextArg(text), TextArg(sought), kOmitted, LogicalArg(false)};
    return static_cast<int32_t>(CallCore(runtime::FindTextBackward, args).low);
}

bool Contains(const char* text, const char* sought) { return Find(text, sought) != -1; }

bool StartsWith(const char* text, const char* prefix) { return Find(text, prefix) == 1; }

}  // namespace app
