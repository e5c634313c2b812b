// The reference's sections about the type library: the library, its classes, interfaces, enumerations and other types.
#pragma once
#include "tools/reference/TypeLibraryModel.h"

#include <string>

// GitHub's anchor of a heading that is one identifier.
std::string AnchorOf(const std::string& name);

std::string LibrarySection(const LibraryModel& library);
std::string ClassesSection(const LibraryModel& library);
std::string InterfacesSection(const LibraryModel& library);
std::string EnumerationsSection(const LibraryModel& library);
// Aliases, structures, unions and modules; empty when the library has none.
std::string OtherTypesSection(const LibraryModel& library);

// The names of the library's types of one kind, in the library's order.
std::vector<std::string> TypeNames(const LibraryModel& library, bool (*belongs)(TYPEKIND));
bool IsInterface(TYPEKIND kind);
bool IsEnumeration(TYPEKIND kind);
bool IsOtherType(TYPEKIND kind);
