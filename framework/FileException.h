// A failed file or directory operation: cause, platform error number and file name.
#pragma once
#include "framework/Exception.h"

#include <string>

class CFileException : public CException {
public:
    enum Cause {
        none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
        invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
        lockViolation, diskFull, endOfFile
    };

    CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr);

    BOOL GetErrorMessage(char* buffer, UINT size, UINT* helpContext = nullptr) const override;

    static int OsErrorToCause(LONG osError);
    static int ErrnoToCause(int errnoValue);

    // Throw for a failed platform call (its GetLastError) or runtime call (errno).
    [[noreturn]] static void ThrowOsError(LONG osError, const char* fileName = nullptr);
    [[noreturn]] static void ThrowErrno(int errnoValue, const char* fileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    std::string m_strFileName;
};
