// Reads a type library through ITypeLib / ITypeInfo into the reference's model.
#pragma once
#include "tools/reference/TypeLibraryModel.h"

// Throws std::runtime_error when the library cannot be read.
LibraryModel ReadTypeLibrary(ITypeLib* library);
