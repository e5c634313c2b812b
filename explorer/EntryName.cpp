// The names of entries that the explorer joins to a directory path.
#include "explorer/EntryName.h"

#include "framework/FileException.h"
#include "framework/ShiftJis.h"

void RequirePlainName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || ShiftJis::FindFirst(name, '/') != std::string::npos ||
        ShiftJis::FindFirst(name, '\\') != std::string::npos)
        CFileException::ThrowOsError(ERROR_INVALID_NAME, name.c_str());
}

std::string JoinPath(const std::string& directory, const std::string& name)
{
    return ShiftJis::EndsWithChar(directory, '/') ? directory + name : directory + "/" + name;
}

bool IsDots(const std::string& name)
{
    return name == "." || name == "..";
}
