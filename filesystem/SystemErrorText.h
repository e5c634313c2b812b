// The text of a platform error number: the FTP server's last reply or the system message table.
#pragma once
#include <windows.h>

#include <string>

// Writes the text for code into buffer (size bytes, zero-terminated) and
// returns its length. A code of 0xFFFFFFFF is first replaced by the thread's
// last error number, and the code actually used is written back. For 12003
// (the server sent an error reply) the text is the server's reply; otherwise
// the system message table's Japanese text. The buffer is left empty when
// there is no text.
DWORD FormatSystemErrorText(DWORD& code, char* buffer, DWORD size);

class CException;

// The message for a failure with a platform error number: the server reply
// the exception recorded when it was raised (the thread's last reply may by
// now be another server's), else FormatSystemErrorText of number, else the
// exception's own text, which also sets helpContext. number may be replaced
// as FormatSystemErrorText does. At most 1,023 bytes.
std::string DescribeSystemError(const CException& error, DWORD& number, UINT& helpContext);
