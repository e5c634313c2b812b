// The whole reference as Markdown: the type library's sections, then the errors.
#pragma once
#include "tools/reference/ModuleStrings.h"
#include "tools/reference/TypeLibraryModel.h"

#include <string>

// UTF-8 with "\n" line ends; the same library and strings give the same bytes.
std::string ReferenceDocument(const LibraryModel& library, const ModuleStrings& strings);
