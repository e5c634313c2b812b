// GetFileSize's 32-bit answer for a size the store found (or not).
#pragma once
#include <windows.h>

// 0xFFFFFFFF means "no such file". A file of 0xFFFFFFFF bytes or more
// (past 4 GiB) answers 0xFFFFFFFE, "at least this big", instead of its
// size cut to 32 bits, which could name any smaller size.
inline constexpr DWORD kFileNotFoundSize = 0xFFFFFFFF;
inline constexpr DWORD kFileTooLargeSize = 0xFFFFFFFE;

inline DWORD FileSizeAnswer(LONGLONG size)
{
    if (size < 0)
        return kFileNotFoundSize;
    if (static_cast<ULONGLONG>(size) >= kFileNotFoundSize)
        return kFileTooLargeSize;
    return static_cast<DWORD>(size);
}
