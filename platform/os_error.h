#pragma once

#include <cstdint>

namespace harmovia {

// Result of a platform call, in the classic platform's numbering (0 = success). File
// errors use the codes the error hook knows: most lie in -61..-33, which the program
// treats as "go on with what you have".
using OsError = int32_t;

inline constexpr OsError kNoErr = 0;
inline constexpr OsError kDiskFullErr = -34;      // no space left
inline constexpr OsError kIoErr = -36;            // any other read or write failure
inline constexpr OsError kEofErr = -39;           // read past the end
inline constexpr OsError kFileNotFoundErr = -43;  // no such file or folder
inline constexpr OsError kVolumeLockedErr = -44;  // read-only file system
inline constexpr OsError kPermErr = -54;          // not permitted
inline constexpr OsError kWritePermErr = -61;     // no write permission
inline constexpr OsError kMemFullErr = -108;      // out of memory
inline constexpr OsError kAccessDeniedErr = -5000;
inline constexpr OsError kNotAFileErr = -1302;  // a folder where a file was expected

// The platform code for an errno value.
OsError OsErrorFromErrno(int errnoValue);

// Codes the error hook ignores (the caller goes on with what it got).
inline constexpr bool IsIgnoredOsError(OsError e) {
    return (e >= -61 && e <= -33) || (e >= -5500 && e <= -4999);
}

}  // namespace harmovia
