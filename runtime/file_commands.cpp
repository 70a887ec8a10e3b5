#include "runtime/file_commands.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/owned.h"
#include "runtime/startup.h"

namespace runtime {

namespace {

// Byte sets count their length in a signed 32-bit word.
constexpr LONGLONG kLargestByteSet = 0x7FFFFFF0 - sizeof(ByteSetHeader);

void* ReadFileBytes(const char* name, LONGLONG largest) {
    UniqueHandle file(::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > largest) {
        return nullptr;
    }
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    OwnedBlock block(AllocMemory(sizeof(ByteSetHeader) + length));
    auto* header = static_cast<ByteSetHeader*>(block.get());
    DWORD read = 0;
    if (!::ReadFile(file.get(), header + 1, length, &read, nullptr) || read == 0) return nullptr;
    header->dimensionCount = 1;
    header->length = static_cast<int32_t>(read);
    return block.Detach();
}

// "X:" and "X:\" name a drive root.
bool IsDriveRoot(const char* name) {
    return name[0] && name[1] == ':' && (name[2] == '\0' || (name[2] == '\\' && name[3] == '\0'));
}

void EmptyDirectory(const std::string& directory) {
    WIN32_FIND_DATAA found;
    const UniqueFileSearch search(::FindFirstFileA((directory + "\\*").c_str(), &found));
    if (!search) return;
    do {
        if (!std::strcmp(found.cFileName, ".") || !std::strcmp(found.cFileName, "..")) continue;
        const std::string path = directory + "\\" + found.cFileName;
        // Read-only entries would refuse deletion and leave the tree behind.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            ::SetFileAttributesA(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        }
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::DeleteFileA(path.c_str());
            continue;
        }
        // A junction or link is removed itself; what it points to is not ours.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) EmptyDirectory(path);
        ::RemoveDirectoryA(path.c_str());
    } while (::FindNextFileA(search.get(), &found));
}

}  // namespace

void RunDirectory(ArgRecord* result, int32_t, const ArgRecord*) {
    const std::string& directory = ProgramRunDirectory();
    SetText(result, NewText(directory.data(), directory.size()));
}

void ReadWholeFile(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const char* name = TextArgument(args[0]);
    const LONGLONG largest =
        IsGiven(argCount, args, 1)
            ? std::min<LONGLONG>(static_cast<int32_t>(args[1].low), kLargestByteSet)
            : kLargestByteSet;
    if (*name) SetPointer(result, ReadFileBytes(name, largest));
}

void WriteWholeFile(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const char* name = TextArgument(args[0]);
    if (!*name) return;
    UniqueHandle file(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    for (int32_t i = 1; i < argCount; ++i) {
        if (args[i].tag != tag::kByteSet) continue;
        const void* byteSet = reinterpret_cast<const void*>(args[i].low);
        const DWORD length = ByteSetLength(byteSet);
        if (length == 0) continue;
        DWORD written = 0;
        if (!::WriteFile(file.get(), ByteSetData(byteSet), length, &written, nullptr) ||
            written != length) {
            return;
        }
    }
    SetLogical(result, true);
}

void RemoveDirectoryTree(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const char* name = TextArgument(args[0]);
    while (*name == ' ') ++name;
    if (!*name || IsDriveRoot(name)) return;
    // A trailing backslash is left alone: it may be the trail byte of a GBK
    // character, and the system collapses the doubled separator it makes.
    EmptyDirectory(name);
    SetLogical(result, ::RemoveDirectoryA(name) != FALSE);
}

}  // namespace runtime
