// A store path as a value: slashes, trailing slash, last component, drive root, ftp URL prefix.
#include "filesystem/WyPath.h"

#include "filesystem/FtpUrl.h"
#include "framework/ShiftJis.h"

CWyPath& CWyPath::ToForwardSlashes()
{
    ShiftJis::ReplaceAll(m_strPath, '\\', '/');
    return *this;
}

CWyPath& CWyPath::RemoveTrailingSlash()
{
    if (EndsWithSlash())
        m_strPath.pop_back();
    return *this;
}

CWyPath& CWyPath::AppendSlash()
{
    if (!EndsWithSlash())
        m_strPath += '/';
    return *this;
}

bool CWyPath::EndsWithSlash() const
{
    return ShiftJis::EndsWithChar(m_strPath, '/');
}

CWyPath CWyPath::GetLastComponent() const
{
    const size_t slash = ShiftJis::FindLast(m_strPath, '/');
    if (slash == std::string::npos)
        return *this;
    return CWyPath(m_strPath.substr(slash + 1));
}

CWyPath& CWyPath::PrependRoot(const std::string& root)
{
    if (!m_strPath.empty() && m_strPath[0] == '/')
        m_strPath.insert(0, root);
    return *this;
}

CWyPath& CWyPath::StripURLPrefix()
{
    if (!IsFtpUrl(m_strPath))
        return *this;
    m_strPath.erase(0, FtpSchemeLength(m_strPath));
    const size_t slash = ShiftJis::FindFirst(m_strPath, '/');
    if (slash != std::string::npos)
        m_strPath.erase(0, slash);
    return *this;
}

CWyPath& CWyPath::Normalize()
{
    StripURLPrefix();
    if (!m_strPath.empty() && m_strPath[0] != '/') {
        const size_t slash = ShiftJis::FindFirst(m_strPath, '/');
        if (slash != std::string::npos)
            m_strPath.erase(0, slash);
    }
    return *this;
}

bool CWyPath::IsWithin(const CWyPath& other) const
{
    const std::string& base = other.m_strPath;
    if (m_strPath == base)
        return true;
    return m_strPath.size() > base.size() && m_strPath.compare(0, base.size(), base) == 0
        && m_strPath[base.size()] == '/';
}
