// Bad calls through IDispatch and other interfaces get COM errors, never crashes or leaks.
#include "tests/control/ComTestSupport.h"

#include <ocidl.h>
#include <olectl.h>

namespace {

TEST(Dispatch, UnknownMembersAndWrongArgumentsGetTheirDispatchErrors)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, CallId(control.Get(), 9999, {}, DISPATCH_METHOD).hr);
    EXPECT_EQ(DISPID_UNKNOWN, DispIdOf(control.Get(), L"NoSuchMember"));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, control->Invoke(13, other, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_INVALIDARG, control->Invoke(13, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    // A method cannot be written; a method without result cannot be read.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(control.Get(), L"DirUp", {1}, DISPATCH_PROPERTYPUT).hr);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(control.Get(), L"DirUp", {}, DISPATCH_PROPERTYGET).hr);

    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(control.Get(), L"RenameFile", {"a"}).hr);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(control.Get(), L"RenameFile", {"a", "b", "c"}).hr);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(control.Get(), L"Connect", {1, 2, 3, 4}).hr);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(control.Get(), L"DisConnect", {1}).hr);
    CallResult mismatch = Call(control.Get(), L"GetCurrentDirectory", {"not a number"});
    EXPECT_EQ(DISP_E_TYPEMISMATCH, mismatch.hr);
    EXPECT_EQ(0u, mismatch.argumentError);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(control.Get(), L"TransferByte", "many").hr);
    EXPECT_EQ(1024, Get(control.Get(), L"TransferByte").AsLong());
    // A required argument cannot be left out.
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(control.Get(), L"RemoveFile", {Variant::Missing()}).hr);
    // Numeric text is converted.
    EXPECT_EQ(S_OK, Put(control.Get(), L"TransferByte", "64").hr);
    EXPECT_EQ(64, Get(control.Get(), L"TransferByte").AsLong());
    // A put without the property-put named argument is refused.
    Variant value(5);
    DISPPARAMS params = {value.Get(), nullptr, 1, 0};
    EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, control->Invoke(9, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                                       nullptr, nullptr));
    // Named arguments are not supported for calls.
    DISPID named = 0;
    DISPPARAMS namedParams = {value.Get(), &named, 1, 1};
    EXPECT_EQ(DISP_E_NONAMEDARGS, control->Invoke(23, IID_NULL, 0, DISPATCH_METHOD, &namedParams, nullptr, nullptr,
                                                  nullptr));
}

TEST(Dispatch, NullOutPointersAreAllowedOrRefused)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    // No result, no exception record, no argument index: the call still works.
    EXPECT_EQ(S_OK, control->Invoke(29, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_EXCEPTION, control->Invoke(13, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_POINTER, control->GetTypeInfoCount(nullptr));
    EXPECT_EQ(E_POINTER, control->GetTypeInfo(0, 0, nullptr));
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(DISP_E_BADINDEX, control->GetTypeInfo(1, 0, &info));
    EXPECT_EQ(nullptr, info);
    EXPECT_EQ(E_INVALIDARG, control->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr));
    EXPECT_EQ(E_POINTER, control->QueryInterface(IID_IUnknown, nullptr));

    auto persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(E_POINTER, persist->Load(static_cast<IStream*>(nullptr)));
    EXPECT_EQ(E_POINTER, persist->Save(static_cast<IStream*>(nullptr), TRUE));
    EXPECT_EQ(E_POINTER, persist->GetSizeMax(nullptr));
    EXPECT_EQ(E_POINTER, persist->GetClassID(nullptr));
    auto bag = control.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    EXPECT_EQ(E_POINTER, bag->Load(nullptr, nullptr));
    EXPECT_EQ(E_POINTER, bag->Save(nullptr, TRUE, TRUE));
    auto storage = control.As<IPersistStorage>(IID_IPersistStorage);
    EXPECT_EQ(E_POINTER, storage->Load(static_cast<IStorage*>(nullptr)));
    EXPECT_EQ(E_POINTER, storage->InitNew(static_cast<IStorage*>(nullptr)));
    auto object = control.As<IOleObject>(IID_IOleObject);
    EXPECT_EQ(E_POINTER, object->GetClientSite(nullptr));
    EXPECT_EQ(E_POINTER, object->GetExtent(DVASPECT_CONTENT, nullptr));
    EXPECT_EQ(E_POINTER, object->GetMiscStatus(DVASPECT_CONTENT, nullptr));
    EXPECT_EQ(E_POINTER, object->GetUserType(USERCLASSTYPE_FULL, nullptr));
    EXPECT_EQ(E_POINTER, object->Advise(nullptr, nullptr));
    EXPECT_EQ(E_UNEXPECTED, object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr));
    auto container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    EXPECT_EQ(E_POINTER, container->FindConnectionPoint(IID_IPropertyNotifySink, nullptr));
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, point.Put()));
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
    EXPECT_EQ(E_POINTER, point->Advise(nullptr, nullptr));
    DWORD cookie = 7;
    EXPECT_EQ(E_POINTER, point->Advise(nullptr, &cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(12345));
    auto pages = control.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    EXPECT_EQ(E_POINTER, pages->GetPages(nullptr));
    auto browsing = control.As<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
    EXPECT_EQ(E_POINTER, browsing->GetDisplayString(6, nullptr));
    EXPECT_EQ(E_POINTER, browsing->GetPredefinedStrings(6, nullptr, nullptr));
    EXPECT_EQ(E_POINTER, browsing->GetPredefinedValue(6, 0, nullptr));
}

TEST(Dispatch, CallsLeaveReferenceCountsAsTheyWere)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    const ULONG before = RefCountOf(control.Get());
    for (int i = 0; i < 10; ++i) {
        Call(control.Get(), L"DisConnect");
        Get(control.Get(), L"ServerName");
        Put(control.Get(), L"TransferByte", "bad");
        auto persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
        ComPtr<IDispatch> font(CallId(control.Get(), DISPID_FONT, {}, DISPATCH_PROPERTYGET).value.AsDispatch());
    }
    EXPECT_EQ(before, RefCountOf(control.Get()));
}

TEST(Dispatch, PredefinedValuesForPropertyBrowsers)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    auto browsing = control.As<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
    ASSERT_TRUE(browsing);
    CALPOLESTR strings = {};
    CADWORD cookies = {};
    ASSERT_EQ(S_OK, browsing->GetPredefinedStrings(10, &strings, &cookies));
    ASSERT_EQ(4u, strings.cElems);
    EXPECT_STREQ(L"2 - WyFTPListViewModeSmallIcon", strings.pElems[2]);
    EXPECT_EQ(2u, cookies.pElems[2]);
    for (ULONG i = 0; i < strings.cElems; ++i)
        CoTaskMemFree(strings.pElems[i]);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);

    Variant value;
    ASSERT_EQ(S_OK, browsing->GetPredefinedValue(6, 0, value.Get()));
    EXPECT_EQ(VT_I4, value.Type());
    EXPECT_EQ(0, value.AsLong());
    EXPECT_NE(S_OK, browsing->GetPredefinedValue(6, 7, value.Get()));
    CBstr text;
    ASSERT_EQ(S_OK, browsing->GetDisplayString(6, text.Put()));
    EXPECT_STREQ(L"1 - WyConnectTargetFTP", text.Get());
    // A value without a predefined string: handled, no text.
    Put(control.Get(), L"ListViewMode", 9);
    ASSERT_EQ(S_OK, browsing->GetDisplayString(10, text.Put()));
    EXPECT_EQ(nullptr, text.Get());
    EXPECT_EQ(S_FALSE, browsing->GetDisplayString(2, text.Put()));
    EXPECT_EQ(E_NOTIMPL, browsing->GetPredefinedStrings(2, &strings, &cookies));
}

}  // namespace
