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
    // Beyond the original table: decrypting AES-128 segments and joining the
    // fragments of an MP4 stream.
    kCryptImportKey,
    kCryptSetKeyParam,
    kCryptDecrypt,
    kCryptDestroyKey,
    kCreateFileA,
    kWriteFile,
    // The log's batches.
    kGetTickCount,
    // Downloads leave no copy in the system's cache.
    kDeleteUrlCacheEntryA,
    kDeclaredCallCount
};

}  // namespace app
