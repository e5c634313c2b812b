// The names of entries that the explorer joins to a directory path.
#pragma once
#include <string>

// Raises a file error (ERROR_INVALID_NAME) unless name is one plain entry
// name: not empty, not "." or "..", without "/" or "\" (the stores take
// either as a separator). A name a hostile listing or a user's label
// edit supplies can then never reach outside its directory.
void RequirePlainName(const std::string& name);

// "." or "..": a listing's names of the directory itself and its parent.
bool IsDots(const std::string& name);

// directory + "/" + name, with no doubled "/" after a directory that ends
// in one ("/" itself).
std::string JoinPath(const std::string& directory, const std::string& name);
