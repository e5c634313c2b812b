// The text of a platform error number: the server's reply a failure carries, or the system message table.
#pragma once
#include <windows.h>

#include <string>

// Writes the system message table's Japanese text for code into buffer
// (size bytes, zero-terminated) and returns its length. A code of
// 0xFFFFFFFF is first replaced by the thread's last error number, and the
// code actually used is written back. The buffer is left empty when there
// is no text (the Internet library's numbers have none there).
DWORD FormatSystemErrorText(DWORD& code, char* buffer, DWORD size);

class CException;

// The message for a failure with a platform error number: the server's
// reply the failure carries (12003), else FormatSystemErrorText of number,
// else the exception's own text, which also sets helpContext. number may
// be replaced as FormatSystemErrorText does. At most 1,023 bytes.
std::string DescribeSystemError(const CException& error, DWORD& number, UINT& helpContext);
