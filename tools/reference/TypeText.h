// IDL spelling of type library types, values and flags.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

// "BSTR", "VARIANT_BOOL", "IDispatch*", "WyFTPSortType", "SAFEARRAY(BSTR)", ...;
// user-defined types by their name, looked up through info.
std::string TypeText(ITypeInfo* info, const TYPEDESC& type);

// A constant or default value as IDL writes it: 12, -1, "text", ...
std::string ValueText(const VARIANT& value);
// The value as a number, when it is an integer one.
bool ValueNumber(const VARIANT& value, long long& number);

std::vector<std::string> TypeFlagsText(TYPEKIND kind, WORD flags);
std::vector<std::string> FunctionFlagsText(WORD flags);
std::vector<std::string> VariableFlagsText(WORD flags);
std::vector<std::string> ImplementedFlagsText(int flags);
std::vector<std::string> ParameterFlagsText(const PARAMDESC& parameter);
std::vector<std::string> LibraryFlagsText(WORD flags);

// "{4B19A2E3-7C05-4D6A-8E31-52F0C9D7A611}"
std::string GuidText(const GUID& guid);
