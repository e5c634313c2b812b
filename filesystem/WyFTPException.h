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
    WyFTPErrorNoFiles = 20200,
    WyFTPErrorTopDirectory = 20201,
    WyFTPErrorTransferAborted = 20202,
    WyFTPErrorDirectoryTransfer = 20203,
};

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
