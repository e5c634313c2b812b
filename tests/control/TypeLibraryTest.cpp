// The embedded type library and the dispatch tables describe the same members.
#include "tests/control/ComTestSupport.h"

#include "control/WyFTPCtrl.h"
#include "control/WyFTPFile.h"
#include "control/WyFTPFiles.h"
#include "control/WyFTPIds.h"

#include <map>
#include <set>

namespace {

ComPtr<ITypeLib> ModuleTypeLib()
{
    ComPtr<ITypeLib> typeLib;
    EXPECT_EQ(S_OK, LoadTypeLibEx(ModuleUnderTest().c_str(), REGKIND_NONE, typeLib.Put()));
    return typeLib;
}

// The type a table would use for a type library type: enumerations are
// 32-bit integers, OLE_COLOR an unsigned one that travels as a long.
VARTYPE Resolve(ITypeInfo* info, const TYPEDESC& type)
{
    if (type.vt != VT_USERDEFINED)
        return type.vt;
    ComPtr<ITypeInfo> referenced;
    if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.Put())))
        return VT_EMPTY;
    TYPEATTR* attributes = nullptr;
    referenced->GetTypeAttr(&attributes);
    VARTYPE resolved = VT_EMPTY;
    if (attributes->typekind == TKIND_ENUM)
        resolved = VT_I4;
    else if (attributes->typekind == TKIND_ALIAS)
        resolved = attributes->tdescAlias.vt;
    else if (attributes->typekind == TKIND_DISPATCH || attributes->typekind == TKIND_INTERFACE)
        resolved = VT_DISPATCH;
    referenced->ReleaseTypeAttr(attributes);
    return resolved;
}

bool SameType(VARTYPE table, VARTYPE typeLib)
{
    // The ConnectTarget property travels as a 16-bit integer but is declared
    // with its enumeration; OLE_COLOR (unsigned) travels as a long.
    return table == typeLib || (table == VT_I2 && typeLib == VT_I4) || (table == VT_I4 && typeLib == VT_UI4);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void CheckInterface(ITypeLib* typeLib, REFGUID iid, const DispatchTable& table, std::set<DISPID> notInTypeLib)
{
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, typeLib->GetTypeInfoOfGuid(iid, info.Put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    const WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);

    std::set<DISPID> described;
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &function));
        CBstr name;
        info->GetDocumentation(function->memid, name.Put(), nullptr, nullptr, nullptr);
        const std::string memberName = Narrow(name.Get());
        SCOPED_TRACE(memberName);
        const DispatchMember* member = table.Find(function->memid);
        ASSERT_NE(nullptr, member) << "the table has no member with dispatch ID " << function->memid;
        EXPECT_EQ(memberName, Narrow(member->name));
        described.insert(function->memid);

        const VARTYPE result = Resolve(info.Get(), function->elemdescFunc.tdesc);
        switch (function->invkind) {
        case INVOKE_FUNC:
            EXPECT_EQ(DispatchMember::Method, member->kind);
            EXPECT_TRUE(SameType(member->type, result == VT_VOID ? static_cast<VARTYPE>(VT_EMPTY) : result))
                << "result " << member->type << " vs " << result;
            EXPECT_EQ(function->cParams, member->paramCount);
            break;
        case INVOKE_PROPERTYGET:
            EXPECT_EQ(DispatchMember::Property, member->kind);
            EXPECT_TRUE(SameType(member->type, result)) << "type " << member->type << " vs " << result;
            EXPECT_EQ(function->cParams, member->paramCount);
            break;
        case INVOKE_PROPERTYPUT:
            EXPECT_EQ(DispatchMember::Property, member->kind);
            EXPECT_NE(nullptr, member->put) << "the table cannot write it";
            EXPECT_EQ(function->cParams, member->paramCount + 1);
            break;
        default:
            ADD_FAILURE() << "unexpected kind " << function->invkind;
        }
        const SHORT declared = function->invkind == INVOKE_PROPERTYPUT ? function->cParams - 1 : function->cParams;
        int optional = 0;
        for (SHORT p = 0; p < declared && p < 4; ++p) {
            const ELEMDESC& parameter = function->lprgelemdescParam[p];
            EXPECT_TRUE(SameType(member->params[p], Resolve(info.Get(), parameter.tdesc))) << "parameter " << p;
            if (parameter.paramdesc.wParamFlags & PARAMFLAG_FOPT)
                ++optional;
        }
        EXPECT_EQ(optional, member->optionalCount);
        info->ReleaseFuncDesc(function);
    }
    for (size_t i = 0; i < table.count; ++i) {
        const DISPID id = table.members[i].id;
        if (!notInTypeLib.count(id)) {
            EXPECT_TRUE(described.count(id)) << Narrow(table.members[i].name) << " is missing from the type library";
        }
    }
}

TEST(TypeLibrary, EveryInterfaceMatchesItsDispatchTable)
{
    ComPtr<ITypeLib> typeLib = ModuleTypeLib();
    ASSERT_TRUE(typeLib);
    ComPtr<CWyFTPCtrl> control = ComPtr<CWyFTPCtrl>::Attach(new CWyFTPCtrl);
    ComPtr<CWyFTPFiles> files = ComPtr<CWyFTPFiles>::Attach(new CWyFTPFiles);
    ComPtr<CWyFTPFile> file = ComPtr<CWyFTPFile>::Attach(new CWyFTPFile);
    // The stock Font is answered but, as documented, not listed.
    CheckInterface(typeLib.Get(), DIID__DWyFTP, control->GetDispatchTable(), {DISPID_FONT});
    CheckInterface(typeLib.Get(), DIID_IWyFTPFiles, files->GetDispatchTable(), {});
    CheckInterface(typeLib.Get(), DIID_IWyFTPFile, file->GetDispatchTable(), {});
}

TEST(TypeLibrary, TheLibraryItsClassesEventsAndJapaneseHelp)
{
    ComPtr<ITypeLib> typeLib = ModuleTypeLib();
    ASSERT_TRUE(typeLib);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, typeLib->GetLibAttr(&attributes));
    EXPECT_EQ(kWyFTPTypeLibrary.libid, attributes->guid);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_TRUE(attributes->wLibFlags & LIBFLAG_FCONTROL);
    typeLib->ReleaseTLibAttr(attributes);
    for (const GUID* type : {&CLSID_WyFTP, &CLSID_WyFTPFiles, &CLSID_WyFTPFile, &DIID_IWyFTPFiles, &DIID_IWyFTPFile}) {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, typeLib->GetTypeInfoOfGuid(*type, info.Put()));
    }

    // The events, each with its ID, name, parameter count and a help string.
    using Events = std::map<DISPID, std::pair<std::wstring, SHORT>>;
    const Events expected = {
        {1, {L"TransferProgress", 1}}, {2, {L"Connected", 0}}, {3, {L"DisConnected", 0}},
        {4, {L"TreePopUp", 1}},        {5, {L"ListPopUp", 1}}, {6, {L"ChangeCurrentDirectory", 1}},
        {7, {L"TransferStart", 1}},    {8, {L"TransferEnd", 0}}, {9, {L"ServerCertificate", 7}},
        {10, {L"Reconnecting", 2}},   {11, {L"ProtocolTrace", 1}},
        {DISPID_ERROREVENT, {L"Error", 7}}};
    ComPtr<ITypeInfo> events;
    ASSERT_EQ(S_OK, typeLib->GetTypeInfoOfGuid(DIID__DWyFTPEvents, events.Put()));
    TYPEATTR* eventAttributes = nullptr;
    ASSERT_EQ(S_OK, events->GetTypeAttr(&eventAttributes));
    Events described;
    for (WORD i = 0; i < eventAttributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(S_OK, events->GetFuncDesc(i, &function));
        CBstr name;
        CBstr help;
        events->GetDocumentation(function->memid, name.Put(), help.Put(), nullptr, nullptr);
        EXPECT_GT(SysStringLen(help.Get()), 0u) << "no help string for " << Narrow(name.Get());
        described[function->memid] = {name.Get(), function->cParams};
        events->ReleaseFuncDesc(function);
    }
    events->ReleaseTypeAttr(eventAttributes);
    EXPECT_EQ(expected, described);

    // Help strings are Japanese (characters above the ASCII range), read back intact.
    ComPtr<ITypeInfo> control;
    ASSERT_EQ(S_OK, typeLib->GetTypeInfoOfGuid(DIID__DWyFTP, control.Put()));
    CBstr help;
    ASSERT_EQ(S_OK, control->GetDocumentation(13, nullptr, help.Put(), nullptr, nullptr));
    EXPECT_EQ("接続を切断します", ShiftJisFromBstr(help.Get()));
    DWORD context = 0;
    ASSERT_EQ(S_OK, control->GetDocumentation(26, nullptr, nullptr, &context, nullptr));
    EXPECT_EQ(103u, context);
}

}  // namespace
