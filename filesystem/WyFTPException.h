// The program's own errors: codes, their Japanese messages and the exception that carries one.
#pragma once
#include "framework/Exception.h"

#include <string>

// 200xx general, 201xx connection, 202xx directory and transfer.
enum WyFTPError : int {
    WyFTPErrorOther = 20000,
    WyFTPErrorNoFileName = 20001,
    WyFTPErrorCreateObject = 20002,
    WyFTPErrorConnectionExists = 20100,
    WyFTPErrorNotConnected = 20101,
    WyFTPErrorSessionFailed = 20102,
    WyFTPErrorNoServerName = 20103,
    WyFTPErrorNoFileSystem = 20104,
    WyFTPErrorLoginFailed = 20105,
    WyFTPErrorKeyRefused = 20106,
    WyFTPErrorKeyFileUnreadable = 20107,
    WyFTPErrorNoLoginMethod = 20108,
    WyFTPErrorNoFiles = 20200,
    WyFTPErrorTopDirectory = 20201,
    WyFTPErrorTransferAborted = 20202,
    WyFTPErrorDirectoryTransfer = 20203,
    WyFTPErrorTransferSizeMismatch = 20204,
};

// Status codes reported to hosts, raised or fired with the Error event:
// custom control errors 1000 to 1003.
inline constexpr SCODE WyFTPScodeWin32 = static_cast<SCODE>(0x800A03E8);
inline constexpr SCODE WyFTPScodeInternet = static_cast<SCODE>(0x800A03E9);
inline constexpr SCODE WyFTPScodeOwn = static_cast<SCODE>(0x800A03EA);
inline constexpr SCODE WyFTPScodeOther = static_cast<SCODE>(0x800A03EB);

class CWyFTPException : public CException {
public:
    explicit CWyFTPException(int errorCode) : m_nErrorCode(errorCode) {}

    int m_nErrorCode;
};

// String resource of the code's message, or 0 for a code outside the table.
unsigned ErrorMessageId(int errorCode);

// "WyFTPエラー：" followed by the code's message; the prefix alone for a code
// outside the table.
std::string GetErrorText(int errorCode);
