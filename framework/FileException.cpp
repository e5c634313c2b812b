// A failed file or directory operation: cause, platform error number and file name.
#include "framework/FileException.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

const char* CauseText(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound: return "ファイルが見つかりません";
    case CFileException::badPath: return "パスが正しくありません";
    case CFileException::tooManyOpenFiles: return "開いているファイルが多すぎます";
    case CFileException::accessDenied: return "アクセスが拒否されました";
    case CFileException::invalidFile: return "ファイルハンドルが不正です";
    case CFileException::removeCurrentDir: return "現在のディレクトリは削除できません";
    case CFileException::directoryFull: return "ディレクトリがいっぱいです";
    case CFileException::badSeek: return "ファイル位置の設定に失敗しました";
    case CFileException::hardIO: return "ハードウェアの入出力エラーです";
    case CFileException::sharingViolation: return "共有違反です";
    case CFileException::lockViolation: return "ロック違反です";
    case CFileException::diskFull: return "ディスクがいっぱいです";
    case CFileException::endOfFile: return "ファイルの終わりを越えて読もうとしました";
    default: return "ファイル操作に失敗しました";
    }
}

// The platform error number behind an errno value, for runtime calls that
// leave no _doserrno.
LONG ErrnoToOsError(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT: return ERROR_PATH_NOT_FOUND;
    case EACCES: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EMFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC: return ERROR_DISK_FULL;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    default: return ERROR_GEN_FAILURE;
    }
}

}  // namespace

CFileException::CFileException(int cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName ? fileName : "")
{
}

BOOL CFileException::GetErrorMessage(char* buffer, UINT size, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    char text[1024];
    if (m_strFileName.empty())
        std::snprintf(text, sizeof text, "%s (エラー %ld)", CauseText(m_cause), m_lOsError);
    else
        std::snprintf(text, sizeof text, "%s: %s (エラー %ld)", CauseText(m_cause), m_strFileName.c_str(), m_lOsError);
    return CopyMessage(text, buffer, size);
}

int CFileException::OsErrorToCause(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_DIR_NOT_EMPTY: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

int CFileException::ErrnoToCause(int errnoValue)
{
    switch (errnoValue) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case EACCES:
    case EEXIST:
    case ENOTEMPTY: return accessDenied;
    case EMFILE: return tooManyOpenFiles;
    case EBADF: return invalidFile;
    case ENOSPC: return diskFull;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG osError, const char* fileName)
{
    throw CFileException(OsErrorToCause(osError), osError, fileName);
}

void CFileException::ThrowErrno(int errnoValue, const char* fileName)
{
    // The runtime keeps the platform error behind errno in _doserrno; use it
    // when it is set, so the reported number is the platform's own.
    const LONG osError = _doserrno != 0 ? static_cast<LONG>(_doserrno) : ErrnoToOsError(errnoValue);
    throw CFileException(ErrnoToCause(errnoValue), osError, fileName);
}
