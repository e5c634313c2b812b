// A store path as a value: slashes, trailing slash, last component, drive root, ftp URL prefix.
#include "filesystem/WyPath.h"

#include "filesystem/WyFTPUrl.h"
#include "framework/ShiftJis.h"

CWyPath& CWyPath::ToForwardSlashes()
{
    ShiftJis::ReplaceAll(m_path, '\\', '/');
    return *this;
}

CWyPath& CWyPath::RemoveTrailingSlash()
{
    if (EndsWithSlash())
        m_path.pop_back();
    return *this;
}

CWyPath& CWyPath::AppendSlash()
{
    if (!EndsWithSlash())
        m_path += '/';
    return *this;
}

bool CWyPath::EndsWithSlash() const
{
    return ShiftJis::EndsWithChar(m_path, '/');
}

CWyPath CWyPath::GetLastComponent() const
{
    const size_t slash = ShiftJis::FindLast(m_path, '/');
    if (slash == std::string::npos)
        return *this;
    return CWyPath(m_path.substr(slash + 1));
}

CWyPath& CWyPath::PrependRoot(const std::string& root)
{
    if (!m_path.empty() && m_path[0] == '/')
        m_path.insert(0, root);
    return *this;
}

CWyPath& CWyPath::StripURLPrefix()
{
    if (!IsFtpUrl(m_path))
        return *this;
    m_path.erase(0, FtpSchemeLength(m_path));
    const size_t slash = ShiftJis::FindFirst(m_path, '/');
    if (slash != std::string::npos)
        m_path.erase(0, slash);
    return *this;
}

CWyPath& CWyPath::Normalize()
{
    StripURLPrefix();
    if (!m_path.empty() && m_path[0] != '/') {
        const size_t slash = ShiftJis::FindFirst(m_path, '/');
        if (slash != std::string::npos)
            m_path.erase(0, slash);
    }
    return *this;
}

bool CWyPath::IsWithin(const CWyPath& other) const
{
    const std::string& base = other.m_path;
    if (m_path == base)
        return true;
    return m_path.size() > base.size() && m_path.compare(0, base.size(), base) == 0
        && m_path[base.size()] == '/';
}
