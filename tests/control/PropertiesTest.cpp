// The control's properties through automation: defaults, setter rules and change notifications.
#include "tests/control/ComTestSupport.h"
#include "tests/control/PropertyTableSupport.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Records the bound-property changes the control announces.
class PropertyNotifySink : public StackComObject<IPropertyNotifySink, IID_IPropertyNotifySink> {
public:
    STDMETHODIMP OnChanged(DISPID id) override
    {
        changes.push_back(id);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

    std::vector<DISPID> changes;
};

class ControlProperties : public testing::Test {
protected:
    void SetUp() override
    {
        control = CreateControl();
        ASSERT_TRUE(control);
        auto container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ASSERT_TRUE(container);
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
        ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    }
    void TearDown() override
    {
        if (point)
            point->Unadvise(cookie);
    }

    ComPtr<IDispatch> control;
    ComPtr<IConnectionPoint> point;
    PropertyNotifySink sink;
    DWORD cookie = 0;
};

TEST_F(ControlProperties, DefaultsOfANewControl)
{
    ExpectDefaultProperties(control.Get());
    EXPECT_EQ(0, Call(control.Get(), L"GetLastError").value.AsLong());
    EXPECT_EQ("", Call(control.Get(), L"GetErrorMessage").value.AsText());
    // The stock font is answered although the type library does not list it.
    CallResult font = CallId(control.Get(), DISPID_FONT, {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(S_OK, font.hr);
    EXPECT_NE(nullptr, font.value.AsDispatch());
}

TEST_F(ControlProperties, ServerNameLosesSchemeAndFinalSlash)
{
    Put(control.Get(), L"ServerName", "ftp://ftp.example.jp/");
    EXPECT_EQ("ftp.example.jp", Get(control.Get(), L"ServerName").AsText());
    Put(control.Get(), L"ServerName", "host/pub/");
    EXPECT_EQ("host/pub", Get(control.Get(), L"ServerName").AsText());
    Put(control.Get(), L"ServerName", "ftp://host/dir/");
    EXPECT_EQ("host/dir", Get(control.Get(), L"ServerName").AsText());
    Put(control.Get(), L"ServerName", "/");
    EXPECT_EQ("", Get(control.Get(), L"ServerName").AsText());
    Put(control.Get(), L"ServerName", "サーバ表/");
    EXPECT_EQ("サーバ表", Get(control.Get(), L"ServerName").AsText());
}

TEST_F(ControlProperties, OutOfRangeValuesAreIgnoredAndNotAnnounced)
{
    Put(control.Get(), L"TransferByte", 0);
    Put(control.Get(), L"TransferByte", -5);
    Put(control.Get(), L"ShowProgressDialog", 0);
    Put(control.Get(), L"TreeViewWidth", -1);
    EXPECT_EQ(1024, Get(control.Get(), L"TransferByte").AsLong());
    EXPECT_EQ(100, Get(control.Get(), L"ShowProgressDialog").AsLong());
    EXPECT_EQ(100, Get(control.Get(), L"TreeViewWidth").AsLong());
    EXPECT_TRUE(sink.changes.empty());
    // A width of 0 is allowed.
    Put(control.Get(), L"TreeViewWidth", 0);
    EXPECT_EQ(0, Get(control.Get(), L"TreeViewWidth").AsLong());
    // The connect target is stored unchecked.
    Put(control.Get(), L"ConnectTarget", 5);
    EXPECT_EQ(5, Get(control.Get(), L"ConnectTarget").AsLong());
    EXPECT_EQ((std::vector<DISPID>{11, 6}), sink.changes);
}

TEST_F(ControlProperties, EachStoredChangeIsAnnouncedOnceAndUnchangedValuesNotAtAll)
{
    std::vector<std::pair<std::wstring, Variant>> changes = {{L"BackColor", 0x00FF00}, {L"ForeColor", 0x0000FF}};
    for (const WyFTPProperty& property : WyFTPProperties()) {
        // EnableProgressDialog announces every write (below).
        if (std::wstring(property.name) != L"EnableProgressDialog")
            changes.emplace_back(property.name, ChangedValueOf(property));
    }
    for (const auto& [name, value] : changes) {
        const DISPID id = DispIdOf(control.Get(), name.c_str());
        sink.changes.clear();
        EXPECT_EQ(S_OK, Put(control.Get(), name.c_str(), value).hr);
        EXPECT_EQ(std::vector<DISPID>{id}, sink.changes) << "first write, dispatch ID " << id;
        sink.changes.clear();
        EXPECT_EQ(S_OK, Put(control.Get(), name.c_str(), value).hr);
        EXPECT_TRUE(sink.changes.empty()) << "unchanged value announced, dispatch ID " << id;
        EXPECT_EQ(value.AsText(), Get(control.Get(), name.c_str()).AsText()) << "dispatch ID " << id;
    }
    // EnableProgressDialog is a plain member: every write is announced.
    sink.changes.clear();
    Put(control.Get(), L"EnableProgressDialog", true);
    Put(control.Get(), L"EnableProgressDialog", true);
    EXPECT_EQ((std::vector<DISPID>{1, 1}), sink.changes);
}

TEST_F(ControlProperties, LongStringsAreStoredWhole)
{
    const std::string huge(1024 * 1024, 'x');
    for (const WyFTPProperty& property : WyFTPProperties()) {
        // A pin is a fingerprint or nothing (PinsAreFingerprints).
        if (property.value.type != WyFTPPropertyKind::Text || std::wstring(property.name) == L"CertificatePin")
            continue;
        EXPECT_EQ(S_OK, Put(control.Get(), property.name, huge.c_str()).hr);
        EXPECT_EQ(huge.size(), Get(control.Get(), property.name).AsText().size()) << NameOf(property);
    }
}

TEST_F(ControlProperties, PinsAreFingerprintsWrittenAsPeopleCopyThem)
{
    const std::string pin = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
    const struct {
        const char* written;
        const char* stored;
    } cases[] = {
        {"01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef", pin.c_str()},
        {"not a fingerprint", pin.c_str()},  // ignored: the last pin stays
        {"0123", pin.c_str()},
        {"", ""},
    };
    for (const auto& test : cases) {
        Put(control.Get(), L"CertificatePin", test.written);
        EXPECT_EQ(test.stored, Get(control.Get(), L"CertificatePin").AsText()) << test.written;
    }
    EXPECT_EQ("", Get(control.Get(), L"LastCertificateFingerprint").AsText());
}

TEST_F(ControlProperties, ChangesThroughTheFontObjectAreAnnouncedAndSaved)
{
    auto persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    ASSERT_EQ(S_OK, persist->InitNew());
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    Variant fontValue = Get(control.Get(), L"Font");
    ASSERT_NE(nullptr, fontValue.AsDispatch());
    ComPtr<IFont> font = ComPtr<IDispatch>(fontValue.AsDispatch()).As<IFont>(IID_IFont);
    ASSERT_TRUE(font);
    sink.changes.clear();
    ASSERT_EQ(S_OK, font->put_Bold(TRUE));
    EXPECT_FALSE(sink.changes.empty());
    for (DISPID id : sink.changes)
        EXPECT_EQ(DISPID_FONT, id);
    EXPECT_EQ(S_OK, persist->IsDirty());
}

}  // namespace
