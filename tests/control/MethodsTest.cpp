// Every method that needs a connection refuses without one, with the documented error.
#include "tests/control/ComTestSupport.h"

namespace {

constexpr SCODE kOwnError = static_cast<SCODE>(0x800A03EA);
const std::string kNotConnected = "WyFTPエラー：必要なコネクションオブジェクトが存在しません";

struct MethodCall {
    const wchar_t* name;
    std::vector<Variant> args;
};

TEST(ControlMethods, EveryConnectionNeedingMethodRaises20104)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    const std::vector<MethodCall> calls = {
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
    for (const MethodCall& call : calls) {
        SCOPED_TRACE(ShiftJisFromBstr(CBstr(call.name).Get()));
        CallResult result = Call(control.Get(), call.name, call.args);
        EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
        EXPECT_EQ(kOwnError, result.scode);
        EXPECT_EQ("WYFTPエラー", result.description);
        EXPECT_EQ(L"WyFTP", result.source);
        EXPECT_EQ(0u, result.helpContext);
        EXPECT_EQ(20104, Call(control.Get(), L"GetLastError").value.AsLong());
        EXPECT_EQ(kNotConnected, Call(control.Get(), L"GetErrorMessage").value.AsText());
    }
}

TEST(ControlMethods, ConnectWithAnUnknownTargetRaises20002)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    Put(control.Get(), L"ConnectTarget", 5);
    CallResult result = Call(control.Get(), L"Connect");
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_EQ(kOwnError, result.scode);
    EXPECT_EQ(20002, Call(control.Get(), L"GetLastError").value.AsLong());
    EXPECT_EQ("WyFTPエラー：必要なオブジェクトの生成に失敗しました",
              Call(control.Get(), L"GetErrorMessage").value.AsText());
    // Still not connected afterwards.
    EXPECT_EQ(DISP_E_EXCEPTION, Call(control.Get(), L"DisConnect").hr);
    EXPECT_EQ(20104, Call(control.Get(), L"GetLastError").value.AsLong());
}

TEST(ControlMethods, ResultsOfMethodsThatReturnSomething)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    // Called as a property (as VBScript does without parentheses) too.
    CallResult code = Call(control.Get(), L"GetLastError", {}, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(S_OK, code.hr);
    EXPECT_EQ(VT_I4, code.value.Type());
    CallResult message = Call(control.Get(), L"GetErrorMessage", {}, DISPATCH_PROPERTYGET);
    EXPECT_EQ(S_OK, message.hr);
    EXPECT_EQ(VT_BSTR, message.value.Type());
}

}  // namespace
