// A failed Internet operation: the Internet library's error number, and the server's reply when one explains it.
#include "framework/InternetException.h"

#include <wininet.h>

#include <cstdio>
#include <utility>

CInternetException::CInternetException(DWORD error, std::string serverReply)
    : m_dwError(error), m_strServerReply(std::move(serverReply))
{
}

BOOL CInternetException::GetErrorMessage(char* buffer, UINT size, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!m_strServerReply.empty())
        return CopyMessage(m_strServerReply.c_str(), buffer, size);
    // The secure channel's numbers have texts of the control's own: the
    // platform's library has none in every language.
    static const struct {
        DWORD number;
        const char* text;
    } kSecureChannelTexts[] = {
        {ERROR_INTERNET_INVALID_CA, "サーバー証明書は信頼された発行元のものではないか、指定された指紋と一致しません。"},
        {ERROR_INTERNET_SEC_CERT_CN_INVALID, "サーバー証明書の名前が接続先のサーバー名と一致しません。"},
        {ERROR_INTERNET_SEC_CERT_DATE_INVALID, "サーバー証明書の有効期限が切れているか、まだ有効ではありません。"},
        {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "セキュリティで保護された通信路でエラーが発生しました。"},
    };
    for (const auto& known : kSecureChannelTexts) {
        if (known.number == m_dwError)
            return CopyMessage(known.text, buffer, size);
    }
    char text[1024] = "";
    // The platform's Internet library holds the texts of these numbers; it
    // is opened for its messages only.
    const HMODULE wininet = LoadLibraryExA("wininet.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    DWORD length = 0;
    if (wininet) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet,
                                m_dwError, 0, text, sizeof text, nullptr);
        FreeLibrary(wininet);
    }
    if (length == 0)
        std::snprintf(text, sizeof text, "インターネット エラー %lu", static_cast<unsigned long>(m_dwError));
    return CopyMessage(text, buffer, size);
}
