// The control's properties through automation: IDs, types, defaults, setter rules and change notifications.
#include "tests/control/PublicProperties.h"

#include <ocidl.h>

#include <string>
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

TEST_F(ControlProperties, EachHasItsIdTypeAndDefaultAndAnnouncesEachStoredChangeOnce)
{
    const std::string huge(1024 * 1024, 'x');
    for (const PublicProperty& property : PublicProperties()) {
        SCOPED_TRACE(ShiftJisFromBstr(CBstr(property.name).Get()));
        EXPECT_EQ(property.id, DispIdOf(control.Get(), property.name));
        const Variant value = Get(control.Get(), property.name);
        EXPECT_EQ(property.type, value.Type());
        EXPECT_EQ(property.defaultValue.AsText(), value.AsText());
        if (property.changed.Type() == VT_EMPTY) {
            EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Put(control.Get(), property.name, property.defaultValue).hr);
            continue;
        }
        // EnableProgressDialog is a plain member: every write is announced.
        const std::vector<DISPID> rewrite =
            property.id == 1 ? std::vector<DISPID>{property.id} : std::vector<DISPID>{};
        sink.changes.clear();
        EXPECT_EQ(S_OK, Put(control.Get(), property.name, property.changed).hr);
        EXPECT_EQ(std::vector<DISPID>{property.id}, sink.changes) << "first write";
        sink.changes.clear();
        EXPECT_EQ(S_OK, Put(control.Get(), property.name, property.changed).hr);
        EXPECT_EQ(rewrite, sink.changes) << "the same value again";
        EXPECT_EQ(property.changed.AsText(), Get(control.Get(), property.name).AsText());
        // Any text is stored whole, however long; a pin is a fingerprint or nothing (below).
        if (property.type == VT_BSTR && property.id != 39) {
            EXPECT_EQ(S_OK, Put(control.Get(), property.name, huge.c_str()).hr);
            EXPECT_EQ(huge.size(), Get(control.Get(), property.name).AsText().size());
        }
    }
}

TEST_F(ControlProperties, SettersStoreWhatTheirRulesMakeOfAValueAndAnnounceOnlyWhatChanged)
{
    const std::string pin = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
    const struct {
        const wchar_t* name;
        Variant written;
        Variant stored;
    } cases[] = {
        // A server name loses its scheme and its final slash.
        {L"ServerName", "ftp://ftp.example.jp/", "ftp.example.jp"},
        {L"ServerName", "host/pub/", "host/pub"},
        {L"ServerName", "ftp://host/dir/", "host/dir"},
        {L"ServerName", "/", ""},
        {L"ServerName", "サーバ表/", "サーバ表"},
        // Numbers out of range are ignored.
        {L"TransferByte", 0, 1024},
        {L"TransferByte", -5, 1024},
        {L"TransferByte", 2097152, 1024},
        {L"TransferByte", 65536, 65536},
        {L"TransferByte", 65537, 65536},
        {L"ShowProgressDialog", 0, 100},
        {L"TreeViewWidth", -1, 100},
        {L"TreeViewWidth", 0, 0},
        {L"Timeout", -5, 60},
        {L"Timeout", 86401, 60},
        {L"ReconnectTime", -1, 0},
        {L"KeepAliveInterval", 86401, 0},
        {L"ServerEncoding", 3, 0},
        {L"SecurityMode", 3, 0},
        {L"SecurityMode", -1, 0},
        // Stored unchecked: Connect refuses it.
        {L"ConnectTarget", 5, 5},
        // A pin is a SHA-256 fingerprint, written as people copy it; anything
        // else is ignored and the last pin stays.
        {L"CertificatePin",
         "01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef",
         pin.c_str()},
        {L"CertificatePin", "SHA256:ASNFZ4mrze8BI0VniavN7wEjRWeJq83vASNFZ4mrze8", pin.c_str()},
        {L"CertificatePin", "SHA256:ASNFZ4mrze8BI0VniavN7wEjRWeJq83vASNFZ4mrze8=", pin.c_str()},
        {L"CertificatePin", "SHA256:ASNFZ4mrze8BI0VniavN7wEjRWeJq83vASNFZ4mr", pin.c_str()},
        {L"CertificatePin", "SHA256:ASNFZ4mrze8BI0VniavN7wEjRWeJq83vASNFZ4mrze*", pin.c_str()},
        {L"CertificatePin", "", ""},
        {L"CertificatePin", "SHA256:ASNFZ4mrze8BI0VniavN7wEjRWeJq83vASNFZ4mrze8", pin.c_str()},
        {L"CertificatePin", "not a fingerprint", pin.c_str()},
        {L"CertificatePin", "0123", pin.c_str()},
        {L"CertificatePin", "", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(ShiftJisFromBstr(CBstr(test.name).Get()) + " = " + test.written.AsText());
        const std::string before = Get(control.Get(), test.name).AsText();
        sink.changes.clear();
        EXPECT_EQ(S_OK, Put(control.Get(), test.name, test.written).hr);
        EXPECT_EQ(test.stored.AsText(), Get(control.Get(), test.name).AsText());
        if (before == test.stored.AsText()) {
            EXPECT_TRUE(sink.changes.empty()) << "an unchanged value announced";
        } else {
            EXPECT_EQ(std::vector<DISPID>{DispIdOf(control.Get(), test.name)}, sink.changes);
        }
    }
}

TEST_F(ControlProperties, TheStockFontIsAnsweredAndChangesThroughItAreAnnouncedAndSaved)
{
    auto persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(S_OK, persist->InitNew());
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    // Answered by its stock ID, although the type library does not list it.
    EXPECT_EQ(DISPID_FONT, DispIdOf(control.Get(), L"Font"));
    CallResult font = CallId(control.Get(), DISPID_FONT, {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(S_OK, font.hr);
    ASSERT_NE(nullptr, font.value.AsDispatch());
    ComPtr<IFont> object = ComPtr<IDispatch>(font.value.AsDispatch()).As<IFont>(IID_IFont);
    ASSERT_TRUE(object);
    sink.changes.clear();
    ASSERT_EQ(S_OK, object->put_Bold(TRUE));
    EXPECT_FALSE(sink.changes.empty());
    for (DISPID id : sink.changes)
        EXPECT_EQ(DISPID_FONT, id);
    EXPECT_EQ(S_OK, persist->IsDirty());
}

}  // namespace
