// Reads a type library through ITypeLib / ITypeInfo into the reference's model.
#include "tools/reference/TypeLibraryReader.h"

#include "framework/Bstr.h"
#include "framework/ComPtr.h"
#include "tools/reference/TypeText.h"
#include "tools/reference/Utf8Text.h"

#include <stdexcept>

namespace {

void Check(HRESULT result, const char* what)
{
    if (FAILED(result)) {
        char code[16];
        wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
        throw std::runtime_error(std::string(what) + " failed with " + code);
    }
}

// Releases what GetTypeAttr, GetFuncDesc and GetVarDesc hand out.
class TypeAttributes {
public:
    explicit TypeAttributes(ITypeInfo* info) : m_info(info) { Check(info->GetTypeAttr(&m_attributes), "GetTypeAttr"); }
    ~TypeAttributes() { m_info->ReleaseTypeAttr(m_attributes); }
    TypeAttributes(const TypeAttributes&) = delete;
    TypeAttributes& operator=(const TypeAttributes&) = delete;
    const TYPEATTR* operator->() const { return m_attributes; }

private:
    ITypeInfo* m_info;
    TYPEATTR* m_attributes = nullptr;
};

class FunctionDescription {
public:
    FunctionDescription(ITypeInfo* info, UINT index) : m_info(info) { Check(info->GetFuncDesc(index, &m_function), "GetFuncDesc"); }
    ~FunctionDescription() { m_info->ReleaseFuncDesc(m_function); }
    FunctionDescription(const FunctionDescription&) = delete;
    FunctionDescription& operator=(const FunctionDescription&) = delete;
    const FUNCDESC* operator->() const { return m_function; }

private:
    ITypeInfo* m_info;
    FUNCDESC* m_function = nullptr;
};

class VariableDescription {
public:
    VariableDescription(ITypeInfo* info, UINT index) : m_info(info) { Check(info->GetVarDesc(index, &m_variable), "GetVarDesc"); }
    ~VariableDescription() { m_info->ReleaseVarDesc(m_variable); }
    VariableDescription(const VariableDescription&) = delete;
    VariableDescription& operator=(const VariableDescription&) = delete;
    const VARDESC* operator->() const { return m_variable; }

private:
    ITypeInfo* m_info;
    VARDESC* m_variable = nullptr;
};

struct Documentation {
    std::string name;
    std::string help;
    DWORD helpContext = 0;
    std::string helpFile;
};

Documentation Document(ITypeInfo* info, MEMBERID id)
{
    CBstr name;
    CBstr help;
    CBstr helpFile;
    Documentation documentation;
    Check(info->GetDocumentation(id, name.Put(), help.Put(), &documentation.helpContext, helpFile.Put()),
          "ITypeInfo::GetDocumentation");
    documentation.name = Utf8FromLibraryText(name.Get());
    documentation.help = Utf8FromLibraryText(help.Get());
    return documentation;
}

MemberKind KindOf(INVOKEKIND invoke)
{
    switch (invoke) {
    case INVOKE_PROPERTYGET: return MemberKind::propertyGet;
    case INVOKE_PROPERTYPUT: return MemberKind::propertyPut;
    case INVOKE_PROPERTYPUTREF: return MemberKind::propertyPutRef;
    default: return MemberKind::method;
    }
}

// Parameter names as the library holds them; a property put's value
// parameter may have none.
std::vector<std::string> ParameterNames(ITypeInfo* info, MEMBERID id, size_t count)
{
    std::vector<BSTR> names(count + 1, nullptr);
    UINT found = 0;
    Check(info->GetNames(id, names.data(), static_cast<UINT>(names.size()), &found), "ITypeInfo::GetNames");
    std::vector<std::string> result(count);
    for (UINT i = 0; i < found; ++i) {
        if (i > 0 && i - 1 < count)
            result[i - 1] = Utf8FromLibraryText(names[i]);
        SysFreeString(names[i]);
    }
    return result;
}

MemberModel ReadFunction(ITypeInfo* info, UINT index)
{
    const FunctionDescription function(info, index);
    const Documentation documentation = Document(info, function->memid);
    MemberModel member;
    member.kind = KindOf(function->invkind);
    member.id = function->memid;
    member.name = documentation.name;
    member.help = documentation.help;
    member.helpContext = documentation.helpContext;
    member.type = TypeText(info, function->elemdescFunc.tdesc);
    member.flags = FunctionFlagsText(function->wFuncFlags);
    const size_t count = static_cast<size_t>(function->cParams);
    const std::vector<std::string> names = ParameterNames(info, function->memid, count);
    for (size_t i = 0; i < count; ++i) {
        const ELEMDESC& element = function->lprgelemdescParam[i];
        ParameterModel parameter;
        parameter.name = names[i];
        parameter.type = TypeText(info, element.tdesc);
        parameter.attributes = ParameterFlagsText(element.paramdesc);
        member.parameters.push_back(std::move(parameter));
    }
    if (function->cParamsOpt == -1 && !member.parameters.empty())
        member.parameters.back().attributes.emplace_back("vararg");
    return member;
}

MemberModel ReadVariable(ITypeInfo* info, UINT index)
{
    const VariableDescription variable(info, index);
    const Documentation documentation = Document(info, variable->memid);
    MemberModel member;
    member.id = variable->memid;
    member.name = documentation.name;
    member.help = documentation.help;
    member.helpContext = documentation.helpContext;
    member.type = TypeText(info, variable->elemdescVar.tdesc);
    member.flags = VariableFlagsText(variable->wVarFlags);
    if (variable->varkind == VAR_CONST && variable->lpvarValue) {
        member.kind = MemberKind::constant;
        member.value = ValueText(*variable->lpvarValue);
        member.hasNumber = ValueNumber(*variable->lpvarValue, member.number);
    } else {
        member.kind = MemberKind::variable;
    }
    return member;
}

ImplementedModel ReadImplemented(ITypeInfo* info, UINT index)
{
    HREFTYPE reference = 0;
    Check(info->GetRefTypeOfImplType(index, &reference), "GetRefTypeOfImplType");
    ComPtr<ITypeInfo> implemented;
    Check(info->GetRefTypeInfo(reference, implemented.Put()), "GetRefTypeInfo");
    INT flags = 0;
    Check(info->GetImplTypeFlags(index, &flags), "GetImplTypeFlags");
    return {Document(implemented.Get(), MEMBERID_NIL).name, ImplementedFlagsText(flags)};
}

TypeModel ReadType(ITypeInfo* info)
{
    const TypeAttributes attributes(info);
    const Documentation documentation = Document(info, MEMBERID_NIL);
    TypeModel type;
    type.kind = attributes->typekind;
    type.name = documentation.name;
    type.help = documentation.help;
    type.helpContext = documentation.helpContext;
    if (attributes->guid != GUID_NULL)
        type.guid = GuidText(attributes->guid);
    type.flags = TypeFlagsText(attributes->typekind, attributes->wTypeFlags);
    if (attributes->typekind == TKIND_ALIAS)
        type.aliasOf = TypeText(info, attributes->tdescAlias);
    for (UINT i = 0; i < attributes->cImplTypes; ++i)
        type.implemented.push_back(ReadImplemented(info, i));
    for (UINT i = 0; i < attributes->cFuncs; ++i)
        type.members.push_back(ReadFunction(info, i));
    for (UINT i = 0; i < attributes->cVars; ++i)
        type.members.push_back(ReadVariable(info, i));
    return type;
}

}  // namespace

LibraryModel ReadTypeLibrary(ITypeLib* library)
{
    LibraryModel model;
    TLIBATTR* attributes = nullptr;
    Check(library->GetLibAttr(&attributes), "GetLibAttr");
    model.guid = GuidText(attributes->guid);
    model.major = attributes->wMajorVerNum;
    model.minor = attributes->wMinorVerNum;
    model.flags = LibraryFlagsText(attributes->wLibFlags);
    library->ReleaseTLibAttr(attributes);

    CBstr name;
    CBstr help;
    CBstr helpFile;
    Check(library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, helpFile.Put()), "ITypeLib::GetDocumentation");
    model.name = Utf8FromLibraryText(name.Get());
    model.help = Utf8FromLibraryText(help.Get());
    // The platform may hand the help file out with the library's folder in
    // front; only its name belongs in the reference.
    std::string file = Utf8FromLibraryText(helpFile.Get());
    model.helpFile = file.substr(file.find_last_of("\\/") == std::string::npos ? 0 : file.find_last_of("\\/") + 1);

    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        ComPtr<ITypeInfo> info;
        Check(library->GetTypeInfo(i, info.Put()), "ITypeLib::GetTypeInfo");
        model.types.push_back(ReadType(info.Get()));
    }
    return model;
}
