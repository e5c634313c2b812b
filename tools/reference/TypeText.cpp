// IDL spelling of type library types, values and flags.
#include "tools/reference/TypeText.h"

#include "framework/Bstr.h"
#include "framework/ComPtr.h"
#include "tools/reference/Utf8Text.h"

#include <cstdio>

namespace {

struct FlagName {
    unsigned flag;
    const char* name;
};

template <size_t N>
std::vector<std::string> FlagsText(unsigned flags, const FlagName (&names)[N])
{
    std::vector<std::string> result;
    for (const FlagName& entry : names) {
        if (flags & entry.flag)
            result.emplace_back(entry.name);
    }
    return result;
}

const char* BaseTypeName(VARTYPE type)
{
    switch (type) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I1: return "char";
    case VT_UI1: return "unsigned char";
    case VT_I2: return "short";
    case VT_UI2: return "unsigned short";
    case VT_I4: return "long";
    case VT_UI4: return "unsigned long";
    case VT_I8: return "__int64";
    case VT_UI8: return "unsigned __int64";
    case VT_INT: return "int";
    case VT_UINT: return "unsigned int";
    case VT_R4: return "float";
    case VT_R8: return "double";
    case VT_CY: return "CURRENCY";
    case VT_DATE: return "DATE";
    case VT_BSTR: return "BSTR";
    case VT_DISPATCH: return "IDispatch*";
    case VT_ERROR: return "SCODE";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_VARIANT: return "VARIANT";
    case VT_UNKNOWN: return "IUnknown*";
    case VT_DECIMAL: return "DECIMAL";
    case VT_VOID: return "void";
    case VT_HRESULT: return "HRESULT";
    case VT_LPSTR: return "LPSTR";
    case VT_LPWSTR: return "LPWSTR";
    default: return nullptr;
    }
}

std::string ReferencedTypeName(ITypeInfo* info, HREFTYPE reference)
{
    ComPtr<ITypeInfo> referenced;
    CBstr name;
    if (FAILED(info->GetRefTypeInfo(reference, referenced.Put()))
        || FAILED(referenced->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr)))
        return "(unknown type)";
    return Utf8FromLibraryText(name.Get());
}

}  // namespace

std::string TypeText(ITypeInfo* info, const TYPEDESC& type)
{
    switch (type.vt) {
    case VT_PTR:
        return TypeText(info, *type.lptdesc) + "*";
    case VT_SAFEARRAY:
        return "SAFEARRAY(" + TypeText(info, *type.lptdesc) + ")";
    case VT_CARRAY: {
        std::string text = TypeText(info, type.lpadesc->tdescElem);
        for (USHORT i = 0; i < type.lpadesc->cDims; ++i)
            text += "[" + std::to_string(type.lpadesc->rgbounds[i].cElements) + "]";
        return text;
    }
    case VT_USERDEFINED:
        return ReferencedTypeName(info, type.hreftype);
    default:
        if (const char* name = BaseTypeName(type.vt))
            return name;
        return "VT_" + std::to_string(type.vt);
    }
}

bool ValueNumber(const VARIANT& value, long long& number)
{
    switch (V_VT(&value)) {
    case VT_I1: number = V_I1(&value); return true;
    case VT_UI1: number = V_UI1(&value); return true;
    case VT_I2: number = V_I2(&value); return true;
    case VT_UI2: number = V_UI2(&value); return true;
    case VT_I4: number = V_I4(&value); return true;
    case VT_UI4: number = V_UI4(&value); return true;
    case VT_INT: number = V_INT(&value); return true;
    case VT_UINT: number = V_UINT(&value); return true;
    case VT_I8: number = V_I8(&value); return true;
    default: return false;
    }
}

std::string ValueText(const VARIANT& value)
{
    long long number = 0;
    if (ValueNumber(value, number))
        return std::to_string(number);
    switch (V_VT(&value)) {
    case VT_BOOL:
        return V_BOOL(&value) ? "VARIANT_TRUE" : "VARIANT_FALSE";
    case VT_BSTR:
        return "\"" + Utf8FromLibraryText(V_BSTR(&value)) + "\"";
    case VT_EMPTY:
        return "EMPTY";
    default: {
        // Anything else in its invariant text form (floating point and dates).
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
            return "(value of type " + std::to_string(V_VT(&value)) + ")";
        std::string result = Utf8FromWide(V_BSTR(&text));
        VariantClear(&text);
        return result;
    }
    }
}

std::vector<std::string> TypeFlagsText(TYPEKIND kind, WORD flags)
{
    static const FlagName names[] = {
        {TYPEFLAG_FAPPOBJECT, "appobject"},   {TYPEFLAG_FLICENSED, "licensed"},
        {TYPEFLAG_FPREDECLID, "predeclid"},   {TYPEFLAG_FHIDDEN, "hidden"},
        {TYPEFLAG_FCONTROL, "control"},       {TYPEFLAG_FDUAL, "dual"},
        {TYPEFLAG_FNONEXTENSIBLE, "nonextensible"}, {TYPEFLAG_FOLEAUTOMATION, "oleautomation"},
        {TYPEFLAG_FRESTRICTED, "restricted"}, {TYPEFLAG_FAGGREGATABLE, "aggregatable"},
        {TYPEFLAG_FREPLACEABLE, "replaceable"}, {TYPEFLAG_FREVERSEBIND, "reversebind"},
        {TYPEFLAG_FPROXY, "proxy"},
    };
    std::vector<std::string> result = FlagsText(flags, names);
    // Classes are creatable unless marked; dispinterfaces are always dispatchable.
    if (kind == TKIND_COCLASS && !(flags & TYPEFLAG_FCANCREATE))
        result.emplace_back("noncreatable");
    return result;
}

std::vector<std::string> FunctionFlagsText(WORD flags)
{
    static const FlagName names[] = {
        {FUNCFLAG_FRESTRICTED, "restricted"}, {FUNCFLAG_FSOURCE, "source"},
        {FUNCFLAG_FBINDABLE, "bindable"},     {FUNCFLAG_FREQUESTEDIT, "requestedit"},
        {FUNCFLAG_FDISPLAYBIND, "displaybind"}, {FUNCFLAG_FDEFAULTBIND, "defaultbind"},
        {FUNCFLAG_FHIDDEN, "hidden"},         {FUNCFLAG_FUSESGETLASTERROR, "usesgetlasterror"},
        {FUNCFLAG_FDEFAULTCOLLELEM, "defaultcollelem"}, {FUNCFLAG_FUIDEFAULT, "uidefault"},
        {FUNCFLAG_FNONBROWSABLE, "nonbrowsable"}, {FUNCFLAG_FREPLACEABLE, "replaceable"},
        {FUNCFLAG_FIMMEDIATEBIND, "immediatebind"},
    };
    return FlagsText(flags, names);
}

std::vector<std::string> VariableFlagsText(WORD flags)
{
    static const FlagName names[] = {
        {VARFLAG_FREADONLY, "readonly"},      {VARFLAG_FSOURCE, "source"},
        {VARFLAG_FBINDABLE, "bindable"},      {VARFLAG_FREQUESTEDIT, "requestedit"},
        {VARFLAG_FDISPLAYBIND, "displaybind"}, {VARFLAG_FDEFAULTBIND, "defaultbind"},
        {VARFLAG_FHIDDEN, "hidden"},          {VARFLAG_FRESTRICTED, "restricted"},
        {VARFLAG_FDEFAULTCOLLELEM, "defaultcollelem"}, {VARFLAG_FUIDEFAULT, "uidefault"},
        {VARFLAG_FNONBROWSABLE, "nonbrowsable"}, {VARFLAG_FREPLACEABLE, "replaceable"},
        {VARFLAG_FIMMEDIATEBIND, "immediatebind"},
    };
    return FlagsText(flags, names);
}

std::vector<std::string> ImplementedFlagsText(int flags)
{
    static const FlagName names[] = {
        {IMPLTYPEFLAG_FDEFAULT, "default"},
        {IMPLTYPEFLAG_FSOURCE, "source"},
        {IMPLTYPEFLAG_FRESTRICTED, "restricted"},
        {IMPLTYPEFLAG_FDEFAULTVTABLE, "defaultvtable"},
    };
    return FlagsText(static_cast<unsigned>(flags), names);
}

std::vector<std::string> ParameterFlagsText(const PARAMDESC& parameter)
{
    const USHORT flags = parameter.wParamFlags;
    std::vector<std::string> result;
    // Parameters are [in] unless marked: "in" is written only beside "out".
    if (flags & PARAMFLAG_FOUT)
        result.emplace_back((flags & PARAMFLAG_FIN) ? "in, out" : "out");
    if (flags & PARAMFLAG_FLCID)
        result.emplace_back("lcid");
    if (flags & PARAMFLAG_FRETVAL)
        result.emplace_back("retval");
    if (flags & PARAMFLAG_FOPT)
        result.emplace_back("optional");
    if ((flags & PARAMFLAG_FHASDEFAULT) && parameter.pparamdescex)
        result.emplace_back("defaultvalue(" + ValueText(parameter.pparamdescex->varDefaultValue) + ")");
    return result;
}

std::vector<std::string> LibraryFlagsText(WORD flags)
{
    static const FlagName names[] = {
        {LIBFLAG_FRESTRICTED, "restricted"},
        {LIBFLAG_FCONTROL, "control"},
        {LIBFLAG_FHIDDEN, "hidden"},
    };
    return FlagsText(flags, names);
}

std::string GuidText(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}
