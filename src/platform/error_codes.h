// Windows system error codes that the platform services return and the engine tests for.
//
// Mutating platform calls return the Windows error code of their failure (kErrorSuccess on
// success) instead of leaving a hidden "last error" behind. Both implementations use these
// values, so engine code and tests read the same numbers on the host and under Wine.
#pragma once

#include <cstdint>

namespace nolu {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorBadFormat = 11;
inline constexpr uint32_t kErrorInvalidDrive = 15;
inline constexpr uint32_t kErrorNotSameDevice = 17;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorReadFault = 30;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorModNotFound = 126;
inline constexpr uint32_t kErrorProcNotFound = 127;
inline constexpr uint32_t kErrorDirNotEmpty = 145;
inline constexpr uint32_t kErrorBadExeFormat = 193;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorDirectory = 267;
inline constexpr uint32_t kErrorNoAssociation = 1155;
inline constexpr uint32_t kErrorCancelled = 1223;
inline constexpr uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr uint32_t kErrorTimeout = 1460;
// ERROR_REPARSE_POINT_ENCOUNTERED: the path would pass through a junction or symbolic link.
inline constexpr uint32_t kErrorReparsePoint = 4395;

}  // namespace nolu
