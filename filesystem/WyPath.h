// A store path as a value: slashes, trailing slash, last component, drive root, ftp URL prefix.
#pragma once
#include <string>

// Paths use "/" as separator and "/" as the top of every store. Every
// operation is Shift-JIS aware: a trail byte 0x5C is never taken for "\".
// text, or "" for a null pointer: the stores' arguments may be null.
inline std::string TextOf(const char* text)
{
    return text ? text : "";
}

class CWyPath {
public:
    CWyPath() = default;
    CWyPath(const char* path) : m_path(path ? path : "") {}
    CWyPath(std::string path) : m_path(std::move(path)) {}

    const std::string& Str() const { return m_path; }
    const char* c_str() const { return m_path.c_str(); }
    size_t Length() const { return m_path.size(); }
    bool operator==(const CWyPath& other) const { return m_path == other.m_path; }

    // Every "\" becomes "/".
    CWyPath& ToForwardSlashes();
    // Drops one final "/" ("/" becomes the empty path).
    CWyPath& RemoveTrailingSlash();
    // Appends "/" unless the path already ends with one.
    CWyPath& AppendSlash();
    bool EndsWithSlash() const;
    // The text after the last "/", or the whole path when it has none.
    CWyPath GetLastComponent() const;
    // Puts root in front of an absolute path; relative paths stay as they are.
    CWyPath& PrependRoot(const std::string& root);
    // "ftp://host/path" becomes "/path"; "ftp://host" becomes "host".
    CWyPath& StripURLPrefix();
    // StripURLPrefix, then drops anything before the first "/" (a drive such
    // as "C:"): "ftp://host/pub/a" and "C:/pub/a" both become "/pub/a".
    CWyPath& Normalize();
    // True when the path is other itself or lies below it.
    bool IsWithin(const CWyPath& other) const;

private:
    std::string m_path;
};
