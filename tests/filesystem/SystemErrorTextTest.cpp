// FormatSystemErrorText: last-error substitution, the system message table, buffers too small or missing.
#include "filesystem/SystemErrorText.h"


#include <wininet.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FormatSystemErrorText, ReplacesMinusOneWithTheLastError)
{
    DWORD code = 0xFFFFFFFF;
    char buffer[1024] = "";
    SetLastError(ERROR_ACCESS_DENIED);
    const DWORD length = FormatSystemErrorText(code, buffer, sizeof buffer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), code);
    EXPECT_EQ(std::strlen(buffer), length);
}

TEST(FormatSystemErrorText, NumbersWithoutSystemTextLeaveTheBufferEmpty)
{
    // Internet library numbers are not in the system message table.
    DWORD code = ERROR_INTERNET_CANNOT_CONNECT;
    char buffer[1024];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0u, FormatSystemErrorText(code, buffer, sizeof buffer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT), code);
    EXPECT_EQ('\0', buffer[0]);
}

TEST(FormatSystemErrorText, TooSmallOrMissingBuffers)
{
    DWORD code = ERROR_ACCESS_DENIED;
    EXPECT_EQ(0u, FormatSystemErrorText(code, nullptr, 1024));
    char one[1] = {'x'};
    FormatSystemErrorText(code, one, 0);
    EXPECT_EQ('x', one[0]);
    // 12003 without a reply that fits: no text, nothing past the buffer.
    char small[4];
    std::memset(small, '#', sizeof small);
    code = ERROR_INTERNET_EXTENDED_ERROR;
    FormatSystemErrorText(code, small, 2);
    EXPECT_EQ('#', small[2]);
    EXPECT_EQ('#', small[3]);
}

}  // namespace
