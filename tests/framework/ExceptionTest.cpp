// The texts that file and Internet exceptions give of themselves.
#include "framework/FileException.h"
#include "framework/InternetException.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

TEST(FileException, CarriesCauseNumberAndNameIntoItsText)
{
    const CFileException error(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "C:\\表.txt");
    char buffer[256];
    UINT help = 99;
    ASSERT_TRUE(error.GetErrorMessage(buffer, sizeof buffer, &help));
    EXPECT_EQ(0u, help);
    const std::string text = buffer;
    EXPECT_NE(std::string::npos, text.find("C:\\表.txt")) << text;
    EXPECT_NE(std::string::npos, text.find("2")) << text;
}

TEST(FileException, MapsPlatformAndRuntimeErrors)
{
    EXPECT_EQ(CFileException::fileNotFound, CFileException::OsErrorToCause(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CFileException::accessDenied, CFileException::OsErrorToCause(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CFileException::diskFull, CFileException::OsErrorToCause(ERROR_DISK_FULL));
    EXPECT_EQ(CFileException::genericException, CFileException::OsErrorToCause(12345));
    EXPECT_EQ(CFileException::fileNotFound, CFileException::ErrnoToCause(ENOENT));
    try {
        CFileException::ThrowErrno(ENOENT, "x");
        FAIL() << "nothing thrown";
    } catch (const CFileException& error) {
        EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
        EXPECT_NE(0, error.m_lOsError);
        EXPECT_EQ("x", error.m_strFileName);
    }
}

TEST(Exception, MessagesAreCutCleanlyToTheBuffer)
{
    const CFileException error(CFileException::fileNotFound, 2, "表表表表表表表表");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    error.GetErrorMessage(buffer, 5);
    EXPECT_LT(std::strlen(buffer), 5u);
    EXPECT_EQ('#', buffer[5]);
    // Nothing is written through null or empty buffers.
    EXPECT_FALSE(error.GetErrorMessage(nullptr, 10));
    EXPECT_FALSE(error.GetErrorMessage(buffer, 0));
}

TEST(InternetException, FallsBackOnTheNumberWhenTheLibraryHasNoText)
{
    const CInternetException error(99999);
    char buffer[256];
    ASSERT_TRUE(error.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_NE(nullptr, std::strstr(buffer, "99999")) << buffer;
}

}  // namespace
