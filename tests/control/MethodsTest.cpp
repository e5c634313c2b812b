// Methods that cannot run raise the control's own error, and GetLastError and GetErrorMessage tell which.
#include "tests/control/ComTestSupport.h"

namespace {

struct MethodCall {
    const wchar_t* name;
    std::vector<Variant> args;
};

// The call raised the control's own error; GetLastError and GetErrorMessage tell which.
void ExpectOwnError(IDispatch* control, const MethodCall& call, long code, const std::string& message)
{
    SCOPED_TRACE(ShiftJisFromBstr(CBstr(call.name).Get()));
    CallResult result = Call(control, call.name, call.args);
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(static_cast<SCODE>(0x800A03EA), result.scode);
    EXPECT_EQ("WYFTPエラー", result.description);
    EXPECT_EQ(L"WyFTP", result.source);
    EXPECT_EQ(0u, result.helpContext);
    EXPECT_EQ(code, Call(control, L"GetLastError").value.AsLong());
    EXPECT_EQ(message, Call(control, L"GetErrorMessage").value.AsText());
}

TEST(ControlMethods, MethodsThatCannotRunRaiseTheControlsOwnErrorWithItsCodeAndMessage)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    // Before any error; results read as properties too, as VBScript reads them without parentheses.
    CallResult code = Call(control.Get(), L"GetLastError", {}, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(VT_I4, code.value.Type());
    EXPECT_EQ(0, code.value.AsLong());
    CallResult message = Call(control.Get(), L"GetErrorMessage", {}, DISPATCH_PROPERTYGET);
    EXPECT_EQ(VT_BSTR, message.value.Type());
    EXPECT_EQ("", message.value.AsText());

    // An unknown target; the control stays without a connection.
    Put(control.Get(), L"ConnectTarget", 5);
    ExpectOwnError(control.Get(), {L"Connect", {}}, 20002, "WyFTPエラー：必要なオブジェクトの生成に失敗しました");
    const MethodCall calls[] = {
        {L"DisConnect", {}},
        {L"RemoveDirectory", {"d"}},
        {L"CreateDirectory", {"d"}},
        {L"RemoveFile", {"f"}},
        {L"GetFileSize", {"f"}},
        {L"AbortTransfer", {}},
        {L"RenameFile", {"a", "b"}},
        {L"GetFile", {}},
        {L"GetFile", {"C:\\dl"}},
        {L"PutFile", {"C:\\a.txt"}},
        {L"SetCurrentDirectory", {"/pub"}},
        {L"GetCurrentDirectory", {0}},
        {L"SelectFile", {"a.txt"}},
        {L"SortListItem", {0, 1}},
        {L"GetCurrentFile", {1}},
        {L"DirUp", {}},
        {L"Refresh", {}},
        {L"GetFileList", {"/"}},
        {L"ClearSelectedFile", {""}},
    };
    for (const MethodCall& call : calls)
        ExpectOwnError(control.Get(), call, 20104, "WyFTPエラー：必要なコネクションオブジェクトが存在しません");
}

}  // namespace
