// The error table: every code's Japanese message, and codes outside the table.
#include "filesystem/WyFTPException.h"

#include <gtest/gtest.h>

namespace {

const std::string kPrefix = "WyFTPエラー：";

TEST(GetErrorText, EveryCodeOfTheTable)
{
    const struct {
        int code;
        const char* message;
    } table[] = {
        {20000, "その他のエラー"},
        {20001, "メソッドの実行に必要なファイル名がありません"},
        {20002, "必要なオブジェクトの生成に失敗しました"},
        {20100, "コネクションオブジェクトはすでに存在しています"},
        {20101, "FTPサーバとの接続が存在しません"},
        {20102, "インターネットセッションが確立できません"},
        {20103, "接続するサーバー名が設定されていません"},
        {20104, "必要なコネクションオブジェクトが存在しません"},
        {20105, "FTPサイトへ接続するためのユーザIDまたはパスワードがないか不正です"},
        {20200, "指定ディレクトリにファイルは存在しません"},
        {20201, "1番上のディレクトリ階層です"},
        {20202, "ファイルの転送が中断されました"},
        {20203, "ディレクトリ単位の転送はできません"},
    };
    for (const auto& entry : table)
        EXPECT_EQ(kPrefix + entry.message, GetErrorText(entry.code)) << entry.code;
}

TEST(GetErrorText, CodesOutsideTheTableGiveThePrefixAlone)
{
    for (int code : {20150, 5, 0, -1, 19999, 20003, 20205, 12003, 0x7FFFFFFF})
        EXPECT_EQ(kPrefix, GetErrorText(code)) << code;
}

TEST(GetErrorText, PrefixBytesAreShiftJis)
{
    // "WyFTPエラー：" in code page 932.
    EXPECT_EQ("WyFTP\x83\x47\x83\x89\x81\x5B\x81\x46", kPrefix);
}

}  // namespace
