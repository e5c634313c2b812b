// Saving and loading the control's properties through streams, property bags and storages; hostile documents.
#include "tests/control/PublicProperties.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/SeededRandom.h"

#include <ocidl.h>

#include <algorithm>
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
        VariantCopy(values[name].Get(), value);
        return S_OK;
    }

    std::vector<std::wstring> order;
    std::map<std::wstring, Variant> values;
    int stringsHandedIn = 0;
};

// The control's own names in a bag, in the order they are written (an HTML
// page's <param> elements use them).
const std::vector<const wchar_t*> kBagNames = {
    L"ShowProgressDialog", L"TreeViewWidth", L"ServerName", L"ListViewMode", L"VisibleTree", L"UserName",
    L"Password", L"ConnectTarget", L"ConnectDirectory", L"DownloadDirectory", L"TransferByte",
    L"EnableProgressDialog", L"Forecolor", L"Backcolor", L"PassiveMode", L"Port", L"Timeout", L"ServerEncoding",
    L"SecurityMode", L"CertificatePin", L"ReconnectTime", L"KeepAliveInterval", L"TraceFile",
    L"EnableProtocolTrace", L"PrivateKeyFile"};

ComPtr<IStream> StreamOf(const std::string& bytes)
{
    ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    const LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::string BytesOf(IStream* stream)
{
    const LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    std::string bytes;
    char buffer[4096];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

ComPtr<IPersistStreamInit> StreamPersistence(IDispatch* control)
{
    return ComPtr<IDispatch>(control).As<IPersistStreamInit>(IID_IPersistStreamInit);
}

std::string Save(IDispatch* control)
{
    ComPtr<IStream> stream = StreamOf("");
    EXPECT_EQ(S_OK, StreamPersistence(control)->Save(stream.Get(), TRUE));
    return BytesOf(stream.Get());
}

HRESULT Load(IDispatch* control, const std::string& bytes)
{
    return StreamPersistence(control)->Load(StreamOf(bytes).Get());
}

HRESULT Load(IDispatch* control, PropertyBag& bag)
{
    return ComPtr<IDispatch>(control).As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&bag, nullptr);
}

// A document saved by the control before its connection properties existed.
std::string SavedDocument(const char* name)
{
    return ReadBytes(std::string("Z:") + WYFTP_TEST_DATA_DIRECTORY + "/" + name);
}

// The header: "WyPX", the major and minor version (2 bytes each), the payload's length (4 bytes).
WORD MinorVersionOf(const std::string& stream)
{
    return static_cast<WORD>(static_cast<unsigned char>(stream[6]) | (static_cast<unsigned char>(stream[7]) << 8));
}

// A storage in memory whose "Contents" stream, where the control keeps its properties, holds bytes.
ComPtr<IStorage> StorageWith(const std::string& bytes)
{
    ComPtr<ILockBytes> memory;
    ComPtr<IStorage> storage;
    ComPtr<IStream> contents;
    EXPECT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, memory.Put()));
    EXPECT_EQ(S_OK, StgCreateDocfileOnILockBytes(memory.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                                 0, storage.Put()));
    EXPECT_EQ(S_OK, storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                          contents.Put()));
    contents->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return storage;
}

TEST(Persistence, StreamsBagsAndStoragesRestoreEveryValue)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEveryProperty(source.Get());
    // A stream: saving clears the dirty flag; GetSizeMax is what was written.
    auto persist = StreamPersistence(source.Get());
    EXPECT_EQ(S_OK, persist->IsDirty());
    ComPtr<IStream> stream = StreamOf("");
    ASSERT_EQ(S_OK, persist->Save(stream.Get(), TRUE));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    ULARGE_INTEGER size = {};
    ASSERT_EQ(S_OK, persist->GetSizeMax(&size));
    EXPECT_EQ(BytesOf(stream.Get()).size(), size.QuadPart);
    ComPtr<IDispatch> fromStream = CreateControl();
    ASSERT_EQ(S_OK, Load(fromStream.Get(), BytesOf(stream.Get())));
    ExpectEveryPropertyChanged(fromStream.Get());

    // A bag: the stock properties come first, then the control's own in fixed order.
    PropertyBag bag;
    ASSERT_EQ(S_OK, source.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE));
    EXPECT_EQ(L"BackColor", bag.order.at(0));
    ASSERT_GE(bag.order.size(), kBagNames.size());
    const size_t first = bag.order.size() - kBagNames.size();
    for (size_t i = 0; i < kBagNames.size(); ++i)
        EXPECT_EQ(kBagNames[i], bag.order[first + i]) << i;
    ComPtr<IDispatch> fromBag = CreateControl();
    ASSERT_EQ(S_OK, Load(fromBag.Get(), bag));
    ExpectEveryPropertyChanged(fromBag.Get());
    EXPECT_EQ(0, bag.stringsHandedIn);

    ComPtr<IStorage> storage = StorageWith("");
    ASSERT_EQ(S_OK, source.As<IPersistStorage>(IID_IPersistStorage)->Save(storage.Get(), FALSE));
    ComPtr<IDispatch> fromStorage = CreateControl();
    ASSERT_EQ(S_OK, fromStorage.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.Get()));
    ExpectEveryPropertyChanged(fromStorage.Get());
    // InitNew brings back every default: the document of defaults.
    ASSERT_EQ(S_OK, StreamPersistence(fromStorage.Get())->InitNew());
    EXPECT_EQ(SavedDocument("stream-1.0-defaults.bin"), Save(fromStorage.Get()));
}

TEST(Persistence, TheFirstLayoutStaysByteForByteAndItsDocumentsLoad)
{
    ComPtr<IDispatch> control = CreateControl();
    StreamPersistence(control.Get())->InitNew();
    const std::string defaults = SavedDocument("stream-1.0-defaults.bin");
    ASSERT_FALSE(defaults.empty());
    EXPECT_EQ(defaults, Save(control.Get())) << "a control that knows no extension could not read it";

    // The connection properties take their defaults.
    Put(control.Get(), L"Port", 2121);
    ASSERT_EQ(S_OK, Load(control.Get(), SavedDocument("stream-1.0-document.bin")));
    EXPECT_EQ("ftp.example.jp", Get(control.Get(), L"ServerName").AsText());
    EXPECT_EQ("ユーザ", Get(control.Get(), L"UserName").AsText());
    EXPECT_EQ(64, Get(control.Get(), L"TransferByte").AsLong());
    EXPECT_EQ(21, Get(control.Get(), L"Port").AsLong());
    EXPECT_EQ(0, MinorVersionOf(Save(control.Get())));
}

TEST(Persistence, LaterPropertiesGoInExtensionBlocksAndUnknownLaterBlocksAreSkipped)
{
    // The connection properties: a block of minor version 1 (three values).
    ComPtr<IDispatch> source = CreateControl();
    Put(source.Get(), L"Timeout", 5);
    const std::string saved = Save(source.Get());
    EXPECT_EQ(1, MinorVersionOf(saved));
    EXPECT_EQ(SavedDocument("stream-1.0-defaults.bin").size() + 4 + 12, saved.size());
    // The encoding: a block of its own under minor version 2, after the first.
    Put(source.Get(), L"ServerEncoding", 1);
    const std::string withEncoding = Save(source.Get());
    EXPECT_EQ(2, MinorVersionOf(withEncoding));
    EXPECT_EQ(saved.size() + 4 + 4, withEncoding.size());
    ComPtr<IDispatch> reader = CreateControl();
    ASSERT_EQ(S_OK, Load(reader.Get(), withEncoding));
    EXPECT_EQ(1, Get(reader.Get(), L"ServerEncoding").AsLong());
    EXPECT_EQ(5, Get(reader.Get(), L"Timeout").AsLong());
    // The security mode and an empty pin: minor version 3.
    Put(source.Get(), L"SecurityMode", 1);
    const std::string withSecurity = Save(source.Get());
    EXPECT_EQ(3, MinorVersionOf(withSecurity));
    EXPECT_EQ(withEncoding.size() + 4 + 4 + 4, withSecurity.size());
    // Reconnect, keep-alive, an empty trace file and the trace event: minor version 4.
    Put(source.Get(), L"ReconnectTime", 30);
    const std::string withReconnect = Save(source.Get());
    EXPECT_EQ(4, MinorVersionOf(withReconnect));
    EXPECT_EQ(withSecurity.size() + 4 + 4 + 4 + 4 + 4, withReconnect.size());
    // The private key file: minor version 5, its text after its length.
    Put(source.Get(), L"PrivateKeyFile", "id.key");
    const std::string withKey = Save(source.Get());
    EXPECT_EQ(5, MinorVersionOf(withKey));
    EXPECT_EQ(withReconnect.size() + 4 + 4 + 6, withKey.size());

    // A later version's block after ours, with the header saying so.
    std::string later = withKey + std::string("\x08\0\0\0later!!!", 12);
    later[6] = 6;
    const DWORD payload = static_cast<DWORD>(later.size() - 12);
    std::memcpy(&later[8], &payload, sizeof payload);
    ComPtr<IDispatch> target = CreateControl();
    ASSERT_EQ(S_OK, Load(target.Get(), later));
    EXPECT_EQ(5, Get(target.Get(), L"Timeout").AsLong());
    EXPECT_EQ(1, Get(target.Get(), L"SecurityMode").AsLong());
    EXPECT_EQ("id.key", Get(target.Get(), L"PrivateKeyFile").AsText());
    // Under a version this control knows, the same bytes are left over: refused.
    later[6] = 5;
    EXPECT_TRUE(FAILED(Load(target.Get(), later)));
}

TEST(Persistence, CutOrCorruptStreamsAreRefusedAndChangeNothing)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEveryProperty(source.Get());
    const std::string good = Save(source.Get());
    std::string foreign = good;
    foreign[0] = 'X';  // not the format's magic
    std::string lying = good;
    lying[8] = '\x7F';  // a payload longer than the data
    std::string huge = good;
    const DWORD claimed = 0x03FFFFFF;  // just under the format's 64 MiB limit: refused without waiting for it
    std::memcpy(&huge[8], &claimed, 4);

    ComPtr<IDispatch> target = CreateControl();
    Put(target.Get(), L"ServerName", "kept.example.jp");
    for (const std::string& bad : {good.substr(0, 5), good.substr(0, good.size() - 3), foreign, lying, huge,
                                   std::string()}) {
        EXPECT_TRUE(FAILED(Load(target.Get(), bad))) << "accepted " << bad.size() << " bytes";
        EXPECT_EQ("kept.example.jp", Get(target.Get(), L"ServerName").AsText());
        EXPECT_EQ("anonymous", Get(target.Get(), L"UserName").AsText());
        EXPECT_EQ(1024, Get(target.Get(), L"TransferByte").AsLong());
    }
    // Still usable: the good stream loads, also with a container's own data after it.
    ASSERT_EQ(S_OK, Load(target.Get(), good + "container data"));
    ExpectEveryPropertyChanged(target.Get());
}

TEST(Persistence, BagValuesThatDoNotConvertAreRefusedAndMissingOnesTakeTheirDefaults)
{
    ComPtr<IDispatch> target = CreateControl();
    Put(target.Get(), L"TransferByte", 32);
    PropertyBag bag;
    bag.values[L"ServerName"] = Variant("from.bag");
    bag.values[L"TransferByte"] = Variant("not a number");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Load(target.Get(), bag));
    EXPECT_EQ(32, Get(target.Get(), L"TransferByte").AsLong());
    EXPECT_EQ("", Get(target.Get(), L"ServerName").AsText());
    // Numbers a bag keeps as text are fine.
    bag.values[L"TransferByte"] = Variant("48");
    ASSERT_EQ(S_OK, Load(target.Get(), bag));
    EXPECT_EQ(48, Get(target.Get(), L"TransferByte").AsLong());
    EXPECT_EQ("from.bag", Get(target.Get(), L"ServerName").AsText());
    EXPECT_EQ("anonymous", Get(target.Get(), L"UserName").AsText());
    EXPECT_EQ(0, bag.stringsHandedIn);
}

// Documents are untrusted: a loaded value its setter would refuse takes its
// default. Streams and bags load through the same exchange, which checks them.
TEST(HostileDocument, ValuesTheSettersRefuseTakeTheirDefaults)
{
    const struct {
        const wchar_t* name;
        long loaded;
        long expected;  // the default, or the value itself when accepted
    } cases[] = {
        {L"TransferByte", 0, 1024},           {L"TransferByte", -1, 1024},
        {L"TransferByte", 0x7FFFFFFF, 1024},  {L"TransferByte", 2097152, 1024},
        {L"TransferByte", 65537, 1024},       {L"TransferByte", 65536, 65536},
        {L"ShowProgressDialog", 0, 100},      {L"TreeViewWidth", -1, 100},
        {L"Timeout", -5, 60},                 {L"Timeout", 86401, 60},
        {L"ServerEncoding", 3, 0},            {L"ServerEncoding", -1, 0},
        {L"ServerEncoding", 0x7FFFFFFF, 0},   {L"ServerEncoding", 2, 2},
        {L"SecurityMode", 3, 0},              {L"SecurityMode", -1, 0},
        {L"Port", 70000, 70000},  // stored unchecked, as by its setter: Connect refuses it
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(ShiftJisFromBstr(CBstr(test.name).Get()) + " " + std::to_string(test.loaded));
        // The value's place in the stream: where saves of 1 and of 2 differ.
        ComPtr<IDispatch> source = CreateControl();
        Put(source.Get(), test.name, 2);
        const std::string two = Save(source.Get());
        Put(source.Get(), test.name, 1);
        std::string stream = Save(source.Get());
        const size_t at = std::mismatch(stream.begin(), stream.end(), two.begin()).first - stream.begin();
        ASSERT_LE(at + 4, stream.size());
        std::memcpy(&stream[at], &test.loaded, 4);
        ComPtr<IDispatch> target = CreateControl();
        ASSERT_EQ(S_OK, Load(target.Get(), stream));
        EXPECT_EQ(test.expected, Get(target.Get(), test.name).AsLong());
    }
    // A pin from a bag, checked as its setter checks it.
    const struct {
        const char* loaded;
        std::string expected;
    } pins[] = {{"zz", ""}, {"ab cd", ""},
                {"cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc",
                 std::string(64, 'C')}};
    for (const auto& pin : pins) {
        PropertyBag bag;
        bag.values[L"CertificatePin"] = Variant(pin.loaded);
        ComPtr<IDispatch> target = CreateControl();
        ASSERT_EQ(S_OK, Load(target.Get(), bag));
        EXPECT_EQ(pin.expected, Get(target.Get(), L"CertificatePin").AsText()) << pin.loaded;
    }
}

// Mutations of saved documents, the same for every run.
class Mutator : public SeededRandom {
public:
    explicit Mutator(unsigned seed) : SeededRandom(seed) {}

    // One mutation of a saved stream: bytes flipped or set to edge values,
    // 4-byte fields (lengths, values) set to edge values, cuts, extensions,
    // a repeated run, a huge string.
    std::string Mutate(std::string bytes)
    {
        static const DWORD kWords[] = {0, 1, 2, 0x7F, 0xFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100000, 65536,
                                       65537, 0x03FFFFFF};
        static const char kBytes[] = {'\0', '\x01', '\x7F', '\x80', '\x81', '\x9F', '\xE0', '\xFC', '\xFF', '\\'};
        switch (Below(7)) {
        case 0: if (!bytes.empty()) bytes[Below(bytes.size())] ^= static_cast<char>(1 << Below(8)); break;
        case 1: if (!bytes.empty()) bytes[Below(bytes.size())] = kBytes[Below(sizeof kBytes)]; break;
        case 2:
            if (bytes.size() >= 4) {
                const DWORD word = kWords[Below(std::size(kWords))];
                std::memcpy(&bytes[Below(bytes.size() - 3)], &word, 4);
            }
            break;
        case 3: bytes.resize(Below(bytes.size() + 1)); break;
        case 4:
            for (size_t i = Below(64) + 1; i > 0; --i)
                bytes += static_cast<char>(Next());
            break;
        case 5: {
            const size_t from = Below(bytes.size());
            bytes.insert(Below(bytes.size()), bytes.substr(from, Below(32)));
            break;
        }
        default: {
            // A string of 1 MiB, ending in a lone Shift-JIS lead byte.
            std::string huge(1 << 20, 'x');
            huge.back() = '\x81';
            const DWORD length = static_cast<DWORD>(huge.size());
            bytes.insert(bytes.size() > 12 ? 12 + Below(bytes.size() - 12) : bytes.size(),
                         std::string(reinterpret_cast<const char*>(&length), 4) + huge);
        }
        }
        return bytes;
    }

    // A few values of odd types under the control's names; the others stay
    // missing (their defaults).
    void FillBag(std::map<std::wstring, Variant>& values)
    {
        static const std::wstring huge(1 << 20, L'x');
        for (size_t count = Below(3) + 1; count > 0; --count) {
            Variant& value = values[kBagNames[Below(kBagNames.size())]];
            VARIANT& raw = *value.Get();
            VariantClear(&raw);
            switch (Below(9)) {
            case 0: value = Variant(static_cast<long>(Below(70000))); break;
            case 1: value = Variant(static_cast<long>(Next())); break;
            case 2: value = Variant(static_cast<long>(Below(3)) - 1); break;
            case 3: value = Variant(Below(2) == 0); break;
            case 4: value = Variant(huge.c_str()); break;
            case 5:
                raw.vt = VT_BSTR;
                raw.bstrVal = SysAllocStringLen(L"a\0b\0", 4);  // embedded NULs
                break;
            case 6:
                raw.vt = VT_BSTR;
                raw.bstrVal = SysAllocStringLen(L"\u8868\0\\", 3);  // 表, a NUL, a backslash
                break;
            case 7:
                raw.vt = VT_R8;
                raw.dblVal = Below(2) == 0 ? 1e300 : -0.5;
                break;
            default:
                raw.vt = Below(2) == 0 ? VT_NULL : VT_EMPTY;
            }
        }
    }
};

// Loading is all or nothing, and whatever loads passes the setters' checks.
void ExpectWholeOrNothing(IDispatch* control, HRESULT loaded, const std::string& before)
{
    if (FAILED(loaded)) {
        EXPECT_EQ(before, Save(control)) << "a refused load changed values";
        return;
    }
    const long chunk = Get(control, L"TransferByte").AsLong();
    EXPECT_TRUE(chunk >= 1 && chunk <= 65536) << "TransferByte " << chunk;
    EXPECT_GE(Get(control, L"ShowProgressDialog").AsLong(), 1);
    EXPECT_GE(Get(control, L"TreeViewWidth").AsLong(), 0);
    const long timeout = Get(control, L"Timeout").AsLong();
    EXPECT_TRUE(timeout >= 0 && timeout <= 86400) << "Timeout " << timeout;
    const long encoding = Get(control, L"ServerEncoding").AsLong();
    EXPECT_TRUE(encoding >= 0 && encoding <= 2) << "ServerEncoding " << encoding;
}

TEST(HostileDocument, MutatedStreamsStoragesAndBagsLoadWholeOrNotAtAll)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEveryProperty(source.Get());
    Put(source.Get(), L"Timeout", 60);
    Put(source.Get(), L"Port", 21);
    const std::string documents[] = {Save(source.Get()), SavedDocument("stream-1.0-defaults.bin")};
    ComPtr<IDispatch> target = CreateControl();
    auto storage = target.As<IPersistStorage>(IID_IPersistStorage);
    constexpr int kStreamRounds = 1500;
    int loaded[2] = {};  // documents, bags
    for (int round = 0; round < kStreamRounds + 400 && !HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool isBag = round >= kStreamRounds;
        Mutator mutator(static_cast<unsigned>(isBag ? round - kStreamRounds + 7919 : round));
        const std::string before = Save(target.Get());
        HRESULT hr;
        if (isBag) {
            PropertyBag bag;
            mutator.FillBag(bag.values);
            hr = Load(target.Get(), bag);
        } else {
            std::string bytes = documents[round % 2];
            for (size_t mutations = mutator.Below(3) + 1; mutations > 0; --mutations)
                bytes = mutator.Mutate(std::move(bytes));
            if (round % 10 == 0) {
                // The same bytes as the "Contents" stream of a storage.
                hr = storage->Load(StorageWith(bytes).Get());
                storage->HandsOffStorage();
                storage->SaveCompleted(nullptr);
            } else {
                hr = Load(target.Get(), bytes);
            }
        }
        loaded[isBag] += SUCCEEDED(hr) ? 1 : 0;
        ExpectWholeOrNothing(target.Get(), hr, before);
    }
    // Mutations that keep a valid document exist (a flipped character of a name).
    EXPECT_GT(loaded[0], 0);
    EXPECT_GT(loaded[1], 0);
}

}  // namespace
