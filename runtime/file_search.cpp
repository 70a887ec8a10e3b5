#include "runtime/file_search.h"

#include <cstring>

#include "runtime/memory.h"

namespace runtime {

namespace {

bool Matches(const WIN32_FIND_DATAA& found, uint32_t attributeMask, bool directoriesOnly) {
    if (!std::strcmp(found.cFileName, ".") || !std::strcmp(found.cFileName, "..")) return false;
    if (directoriesOnly && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    return attributeMask == 0 || (found.dwFileAttributes & attributeMask) != 0;
}

}  // namespace

char* FileSearchStep(const char* pattern, uint32_t attributeMask, bool directoriesOnly,
                     HANDLE* searchSlot) {
    WIN32_FIND_DATAA found;
    bool more;
    if (!*searchSlot) {
        HANDLE search = ::FindFirstFileA(pattern ? pattern : "", &found);
        if (search == INVALID_HANDLE_VALUE) return nullptr;
        *searchSlot = search;
        more = true;
    } else {
        more = ::FindNextFileA(*searchSlot, &found) != FALSE;
    }
    while (more) {
        if (Matches(found, attributeMask, directoriesOnly)) return NewText(found.cFileName);
        more = ::FindNextFileA(*searchSlot, &found) != FALSE;
    }
    FileSearchClose(*searchSlot);
    *searchSlot = nullptr;
    return nullptr;
}

void FileSearchClose(HANDLE search) {
    if (search && search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

}  // namespace runtime
