// Saving and loading the control's properties through streams, property bags and storages.
#include "tests/control/ComTestSupport.h"

#include <ocidl.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// A host's property bag: remembers the names in the order they were written.
class PropertyBag : public StackComObject<IPropertyBag, IID_IPropertyBag> {
public:
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override
    {
        // A bag may clear what it is handed: a string request must come
        // without a string.
        if (value->vt == VT_BSTR && value->bstrVal)
            ++stringsHandedIn;
        auto found = values.find(name);
        if (found == values.end())
            return E_INVALIDARG;
        return VariantCopy(value, found->second.Get());
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override
    {
        order.push_back(name);
        Variant copy;
        VariantCopy(copy.Get(), value);
        values[name] = copy;
        return S_OK;
    }

    std::vector<std::wstring> order;
    std::map<std::wstring, Variant> values;
    int stringsHandedIn = 0;
};

const std::vector<const wchar_t*> kCustomNames = {
    L"ShowProgressDialog", L"TreeViewWidth", L"ServerName", L"ListViewMode", L"VisibleTree", L"UserName",
    L"Password", L"ConnectTarget", L"ConnectDirectory", L"DownloadDirectory", L"TransferByte",
    L"EnableProgressDialog", L"Forecolor", L"Backcolor", L"PassiveMode", L"Port", L"Timeout"};

// Gives every persisted property a value other than its default.
void ChangeEverything(IDispatch* control)
{
    Put(control, L"ShowProgressDialog", 7);
    Put(control, L"TreeViewWidth", 250);
    Put(control, L"ServerName", "ftp.example.jp");
    Put(control, L"ListViewMode", 3);
    Put(control, L"VisibleTree", false);
    Put(control, L"UserName", "ユーザー表");
    Put(control, L"Password", "p&w=d?");
    Put(control, L"ConnectTarget", 0);
    Put(control, L"ConnectDirectory", "/pub/ソフト");
    Put(control, L"DownloadDirectory", "C:\\dl");
    Put(control, L"TransferByte", 16);
    Put(control, L"EnableProgressDialog", false);
    Put(control, L"BackColor", 0x123456);
    Put(control, L"ForeColor", 0x654321);
    Put(control, L"PassiveMode", true);
    Put(control, L"Port", 2121);
    Put(control, L"Timeout", 9);
}

void ExpectChanged(IDispatch* control)
{
    EXPECT_EQ(7, Get(control, L"ShowProgressDialog").AsLong());
    EXPECT_EQ(250, Get(control, L"TreeViewWidth").AsLong());
    EXPECT_EQ("ftp.example.jp", Get(control, L"ServerName").AsText());
    EXPECT_EQ(3, Get(control, L"ListViewMode").AsLong());
    EXPECT_FALSE(Get(control, L"VisibleTree").AsBool());
    EXPECT_EQ("ユーザー表", Get(control, L"UserName").AsText());
    EXPECT_EQ("p&w=d?", Get(control, L"Password").AsText());
    EXPECT_EQ(0, Get(control, L"ConnectTarget").AsLong());
    EXPECT_EQ("/pub/ソフト", Get(control, L"ConnectDirectory").AsText());
    EXPECT_EQ("C:\\dl", Get(control, L"DownloadDirectory").AsText());
    EXPECT_EQ(16, Get(control, L"TransferByte").AsLong());
    EXPECT_FALSE(Get(control, L"EnableProgressDialog").AsBool());
    EXPECT_EQ(0x123456, Get(control, L"BackColor").AsLong());
    EXPECT_EQ(0x654321, Get(control, L"ForeColor").AsLong());
    EXPECT_TRUE(Get(control, L"PassiveMode").AsBool());
    EXPECT_EQ(2121, Get(control, L"Port").AsLong());
    EXPECT_EQ(9, Get(control, L"Timeout").AsLong());
}

ComPtr<IStream> NewStream()
{
    ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    return stream;
}

void Rewind(IStream* stream)
{
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

std::string StreamBytes(IStream* stream)
{
    Rewind(stream);
    std::string bytes;
    char buffer[4096];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

ComPtr<IStream> StreamOf(const std::string& bytes)
{
    ComPtr<IStream> stream = NewStream();
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    Rewind(stream.Get());
    return stream;
}

TEST(Persistence, StreamRoundTripRestoresEveryValue)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEverything(source.Get());
    auto persist = source.As<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(S_OK, persist->IsDirty());
    ComPtr<IStream> stream = NewStream();
    ASSERT_EQ(S_OK, persist->Save(stream.Get(), TRUE));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    ULARGE_INTEGER size = {};
    ASSERT_EQ(S_OK, persist->GetSizeMax(&size));
    EXPECT_EQ(StreamBytes(stream.Get()).size(), size.QuadPart);

    ComPtr<IDispatch> target = CreateControl();
    Rewind(stream.Get());
    ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.Get()));
    ExpectChanged(target.Get());
}

TEST(Persistence, PropertyBagSeesTheNamesInOrderAndRoundTrips)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEverything(source.Get());
    PropertyBag bag;
    ASSERT_EQ(S_OK, source.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE));
    // The stock properties come first, then the control's own in fixed order.
    ASSERT_GE(bag.order.size(), kCustomNames.size());
    const size_t first = bag.order.size() - kCustomNames.size();
    for (size_t i = 0; i < kCustomNames.size(); ++i)
        EXPECT_EQ(kCustomNames[i], bag.order[first + i]) << i;
    EXPECT_EQ(L"BackColor", bag.order[0]);

    ComPtr<IDispatch> target = CreateControl();
    auto persist = target.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_EQ(S_OK, persist->Load(&bag, nullptr));
    ExpectChanged(target.Get());
    EXPECT_EQ(0, bag.stringsHandedIn);
}

TEST(Persistence, StorageRoundTripAndInitNew)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEverything(source.Get());
    ComPtr<ILockBytes> bytes;
    ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()));
    ComPtr<IStorage> storage;
    ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                                 storage.Put()));
    ASSERT_EQ(S_OK, source.As<IPersistStorage>(IID_IPersistStorage)->Save(storage.Get(), FALSE));
    ComPtr<IDispatch> target = CreateControl();
    ASSERT_EQ(S_OK, target.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.Get()));
    ExpectChanged(target.Get());

    ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew());
    ExpectDefaultProperties(target.Get());
}

TEST(Persistence, TruncatedOrCorruptStreamsAreRefusedAndChangeNothing)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEverything(source.Get());
    ComPtr<IStream> stream = NewStream();
    ASSERT_EQ(S_OK, source.As<IPersistStreamInit>(IID_IPersistStreamInit)->Save(stream.Get(), TRUE));
    const std::string good = StreamBytes(stream.Get());

    ComPtr<IDispatch> target = CreateControl();
    Put(target.Get(), L"ServerName", "kept.example.jp");
    auto persist = target.As<IPersistStreamInit>(IID_IPersistStreamInit);
    std::string corrupt = good;
    corrupt[0] = 'X';                      // foreign magic
    std::string lying = good;
    lying[8] = '\x7F';                     // payload length far beyond the data
    for (const std::string& bad : {good.substr(0, 5), good.substr(0, good.size() - 3), corrupt, lying,
                                   std::string()}) {
        EXPECT_TRUE(FAILED(persist->Load(StreamOf(bad).Get()))) << "accepted " << bad.size() << " bytes";
        EXPECT_EQ("kept.example.jp", Get(target.Get(), L"ServerName").AsText());
        EXPECT_EQ("anonymous", Get(target.Get(), L"UserName").AsText());
        EXPECT_EQ(1024, Get(target.Get(), L"TransferByte").AsLong());
    }
    // Still fully usable: the good stream loads, also when a container's own
    // data follows it in the same stream.
    ASSERT_EQ(S_OK, persist->Load(StreamOf(good + "container data").Get()));
    ExpectChanged(target.Get());
}

TEST(Persistence, PropertyBagValuesOfTheWrongTypeAreRefused)
{
    ComPtr<IDispatch> target = CreateControl();
    Put(target.Get(), L"TransferByte", 32);
    PropertyBag bag;
    bag.values[L"ServerName"] = Variant("from.bag");
    bag.values[L"TransferByte"] = Variant("not a number");
    auto persist = target.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, persist->Load(&bag, nullptr));
    EXPECT_EQ(32, Get(target.Get(), L"TransferByte").AsLong());
    EXPECT_EQ("", Get(target.Get(), L"ServerName").AsText());
    // Values a bag keeps as text but that convert are fine; missing ones take defaults.
    bag.values[L"TransferByte"] = Variant("48");
    ASSERT_EQ(S_OK, persist->Load(&bag, nullptr));
    EXPECT_EQ(48, Get(target.Get(), L"TransferByte").AsLong());
    EXPECT_EQ("from.bag", Get(target.Get(), L"ServerName").AsText());
    EXPECT_EQ("anonymous", Get(target.Get(), L"UserName").AsText());
    EXPECT_EQ(0, bag.stringsHandedIn);
}

// Streams saved by the control before its connection properties existed.
std::string SavedStream(const char* name)
{
    const std::string path = std::string("Z:") + WYFTP_TEST_DATA_DIRECTORY + "/" + name;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << path;
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

WORD MinorVersionOf(const std::string& stream)
{
    return static_cast<WORD>(static_cast<unsigned char>(stream[6]) | (static_cast<unsigned char>(stream[7]) << 8));
}

std::string SaveToBytes(IDispatch* control)
{
    ComPtr<IStream> stream = NewStream();
    EXPECT_EQ(S_OK, ComPtr<IDispatch>(control).As<IPersistStreamInit>(IID_IPersistStreamInit)->Save(stream.Get(), TRUE));
    return StreamBytes(stream.Get());
}

TEST(Persistence, ADocumentOfDefaultsKeepsTheFirstLayoutByteForByte)
{
    ComPtr<IDispatch> control = CreateControl();
    control.As<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew();
    const std::string before = SavedStream("stream-1.0-defaults.bin");
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before, SaveToBytes(control.Get())) << "a control that knows no extension could not read it";

    // A document of the first layout loads, the connection properties at their defaults.
    Put(control.Get(), L"Port", 2121);
    ASSERT_EQ(S_OK, control.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(
                        StreamOf(SavedStream("stream-1.0-document.bin")).Get()));
    EXPECT_EQ("ftp.example.jp", Get(control.Get(), L"ServerName").AsText());
    EXPECT_EQ("ユーザ", Get(control.Get(), L"UserName").AsText());
    EXPECT_EQ(64, Get(control.Get(), L"TransferByte").AsLong());
    EXPECT_EQ(21, Get(control.Get(), L"Port").AsLong());
    EXPECT_EQ(0, MinorVersionOf(SaveToBytes(control.Get())));
}

TEST(Persistence, ConnectionPropertiesGoInABlockOfMinorVersionOneAndLaterBlocksAreSkipped)
{
    ComPtr<IDispatch> source = CreateControl();
    Put(source.Get(), L"Timeout", 5);
    const std::string saved = SaveToBytes(source.Get());
    EXPECT_EQ(1, MinorVersionOf(saved));
    EXPECT_EQ(SavedStream("stream-1.0-defaults.bin").size() + 4 + 12, saved.size()) << "one block of three values";

    // A later version's block after ours, with the header saying so.
    std::string later = saved + std::string("\x08\0\0\0later!!!", 12);
    later[6] = 2;
    const DWORD payload = static_cast<DWORD>(later.size() - 12);
    std::memcpy(&later[8], &payload, sizeof payload);
    ComPtr<IDispatch> target = CreateControl();
    ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(later).Get()));
    EXPECT_EQ(5, Get(target.Get(), L"Timeout").AsLong());
    // Under our own version, the same bytes are left over: refused.
    later[6] = 1;
    EXPECT_TRUE(FAILED(target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(later).Get())));
}

}  // namespace
