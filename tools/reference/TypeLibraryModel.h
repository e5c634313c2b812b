// What the reference shows of a type library, read once into plain values (all text UTF-8).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

struct ParameterModel {
    std::string name;
    std::string type;
    // "out", "optional", "retval", "defaultvalue(0)", ...; "in" is left out
    // when it is the only direction.
    std::vector<std::string> attributes;
};

enum class MemberKind { method, propertyGet, propertyPut, propertyPutRef, variable, constant };

struct MemberModel {
    MemberKind kind = MemberKind::method;
    MEMBERID id = MEMBERID_NIL;
    std::string name;
    std::string help;
    DWORD helpContext = 0;
    // Return type of a function, type of a variable or constant.
    std::string type;
    std::vector<ParameterModel> parameters;
    // A constant's value as text, and as a number where it is one.
    std::string value;
    bool hasNumber = false;
    long long number = 0;
    // "restricted", "hidden", "readonly", ...
    std::vector<std::string> flags;
};

struct ImplementedModel {
    std::string name;
    std::vector<std::string> flags;  // "default", "source", ...
};

struct TypeModel {
    TYPEKIND kind = TKIND_MAX;
    std::string name;
    std::string guid;  // empty for types without one
    std::string help;
    DWORD helpContext = 0;
    std::vector<std::string> flags;
    std::string aliasOf;                     // TKIND_ALIAS
    std::vector<ImplementedModel> implemented;  // base interfaces, a class's interfaces
    std::vector<MemberModel> members;        // in the library's order: functions, then variables
};

struct LibraryModel {
    std::string name;
    std::string guid;
    WORD major = 0;
    WORD minor = 0;
    std::string help;
    std::string helpFile;
    std::vector<std::string> flags;
    std::vector<TypeModel> types;  // in the library's order
};
