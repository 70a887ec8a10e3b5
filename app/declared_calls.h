// Positions of the application's declared system calls, in table order.
#pragma once

#include <cstdint>

namespace app {

enum DeclaredCall : uint32_t {
    kCoInitialize,
    kCreateMutexA,
    kWaitForSingleObject,
    kReleaseMutex,
    kCloseHandle,
    kGetLocalTime,
    kMultiByteToWideChar,
    kWideCharToMultiByte,
    kCryptAcquireContextA,
    kCryptCreateHash,
    kCryptReleaseContext,
    kCryptHashData,
    kCryptDestroyHash,
    kCryptGetHashParam,
    kMakeSureDirectoryPathExists,
    kURLDownloadToFileA,
    kMoveFileA,
    kCoUninitialize,
    kDeclaredCallCount
};

}  // namespace app
