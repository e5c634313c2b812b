// A file size as the list shows it: whole kilobytes with "," grouping and "KB".
#pragma once
#include <windows.h>

#include <string>

// 1,234,567 bytes give "1,205KB"; 1,023 give "0KB" (the remainder is dropped).
std::string FormatKilobytes(ULONGLONG bytes);
// The value of such a text in kilobytes (the "," removed, read up to "KB");
// false when the text holds no "KB" (a directory's empty size).
bool ParseKilobytes(const std::string& text, ULONGLONG* kilobytes);
