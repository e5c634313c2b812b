// The shell's type names of files ("テキスト ドキュメント"), looked up once per extension.
#include "explorer/ShellTypeNames.h"

#include "framework/CodePage932.h"
#include "framework/ShiftJis.h"

#include <windows.h>
#include <shellapi.h>

const std::string& CShellTypeNames::Get(const std::string& name)
{
    // The type follows from the extension alone, and a listing of thousands
    // of files holds a few extensions: one shell lookup each.
    const size_t slash = ShiftJis::FindLast(name, '/');
    const size_t dot = ShiftJis::FindLast(name, '.');
    const std::string extension =
        dot == std::string::npos || (slash != std::string::npos && dot < slash) ? std::string()
                                                                                : ShiftJis::ToUpper(name.substr(dot));
    auto found = m_byExtension.find(extension);
    if (found != m_byExtension.end())
        return found->second;
    SHFILEINFOW info = {};
    const std::wstring wide = ToWide(name);
    std::string typeName;
    if (SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME))
        typeName = ToShiftJis(info.szTypeName);
    return m_byExtension.emplace(extension, typeName).first->second;
}
