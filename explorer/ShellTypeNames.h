// The shell's type names of files ("テキスト ドキュメント"), looked up once per extension.
#pragma once
#include <map>
#include <string>

// The shell is told the name only (no file is read), so remote names work.
class CShellTypeNames {
public:
    // name: Shift-JIS; the result too.
    const std::string& Get(const std::string& name);

private:
    std::map<std::string, std::string> m_byExtension;
};
