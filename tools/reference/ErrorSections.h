// The reference's error tables: the status codes, the control's own numbers and the Internet library's numbers.
#pragma once
#include "tools/reference/ModuleStrings.h"
#include "tools/reference/TypeLibraryModel.h"

#include <string>

// The name of the enumeration that names the control's own error numbers.
inline constexpr char kErrorCodeEnumeration[] = "WyFTPErrorCode";

// Texts come from the module's string resources, names from the library's
// error enumeration, meanings from ErrorMeanings. Throws std::runtime_error
// when these and the control's own tables disagree on which numbers exist.
std::string ErrorsSection(const LibraryModel& library, const ModuleStrings& strings);
