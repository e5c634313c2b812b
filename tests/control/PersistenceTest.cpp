// Saving and loading the control's properties through streams, property bags and storages.
#include "tests/control/ComTestSupport.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/SeededRandom.h"

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
    L"EnableProgressDialog", L"Forecolor", L"Backcolor", L"PassiveMode", L"Port", L"Timeout", L"ServerEncoding",
    L"SecurityMode", L"CertificatePin"};

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
    Put(control, L"ServerEncoding", 2);
    Put(control, L"SecurityMode", 2);
    Put(control, L"CertificatePin", std::string(64, 'b').c_str());
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
    EXPECT_EQ(2, Get(control, L"ServerEncoding").AsLong());
    EXPECT_EQ(2, Get(control, L"SecurityMode").AsLong());
    EXPECT_EQ(std::string(64, 'B'), Get(control, L"CertificatePin").AsText());
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
    // The encoding has a block of its own under minor version 2, after the first.
    Put(source.Get(), L"ServerEncoding", 1);
    const std::string withEncoding = SaveToBytes(source.Get());
    EXPECT_EQ(2, MinorVersionOf(withEncoding));
    EXPECT_EQ(saved.size() + 4 + 4, withEncoding.size());
    ComPtr<IDispatch> reader = CreateControl();
    ASSERT_EQ(S_OK, reader.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(withEncoding).Get()));
    EXPECT_EQ(1, Get(reader.Get(), L"ServerEncoding").AsLong());
    EXPECT_EQ(5, Get(reader.Get(), L"Timeout").AsLong());

    // The security mode and pin have a block of minor version 3.
    Put(source.Get(), L"SecurityMode", 1);
    const std::string withSecurity = SaveToBytes(source.Get());
    EXPECT_EQ(3, MinorVersionOf(withSecurity));
    EXPECT_EQ(withEncoding.size() + 4 + 4 + 4, withSecurity.size()) << "the mode and an empty pin";

    // A later version's block after ours, with the header saying so.
    std::string later = withSecurity + std::string("\x08\0\0\0later!!!", 12);
    later[6] = 4;
    const DWORD payload = static_cast<DWORD>(later.size() - 12);
    std::memcpy(&later[8], &payload, sizeof payload);
    ComPtr<IDispatch> target = CreateControl();
    ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(later).Get()));
    EXPECT_EQ(5, Get(target.Get(), L"Timeout").AsLong());
    EXPECT_EQ(1, Get(target.Get(), L"SecurityMode").AsLong());
    // Under a version this control knows, the same bytes are left over: refused.
    later[6] = 3;
    EXPECT_TRUE(FAILED(target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(later).Get())));
}

// Documents are untrusted: values a setter refuses take their defaults.

// The stream bytes with the 4-byte little-endian value marker replaced by value.
std::string WithValue(std::string bytes, DWORD marker, DWORD value)
{
    const std::string pattern(reinterpret_cast<const char*>(&marker), 4);
    const size_t at = bytes.find(pattern);
    EXPECT_NE(std::string::npos, at);
    if (at != std::string::npos)
        std::memcpy(&bytes[at], &value, 4);
    return bytes;
}

struct RefusedValue {
    const wchar_t* name;
    long loaded;
    long expected;  // the default, or the value itself when accepted
};

TEST(HostileDocument, AnUnknownServerEncodingTakesTheDefault)
{
    ComPtr<IDispatch> source = CreateControl();
    Put(source.Get(), L"ServerEncoding", 1);
    std::string stream = SaveToBytes(source.Get());
    for (const long loaded : {3L, -1L, 0x7FFFFFFFL, 2L}) {
        // The encoding's block is the last one: its value ends the stream.
        std::memcpy(&stream[stream.size() - 4], &loaded, 4);
        ComPtr<IDispatch> target = CreateControl();
        ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(stream).Get()));
        EXPECT_EQ(loaded == 2 ? 2 : 0, Get(target.Get(), L"ServerEncoding").AsLong()) << loaded;
    }
}

TEST(HostileDocument, ValuesTheSettersRefuseTakeTheirDefaultsFromStreamsAndBags)
{
    const RefusedValue cases[] = {
        {L"TransferByte", 0, 1024},           {L"TransferByte", -1, 1024},
        {L"TransferByte", 0x7FFFFFFF, 1024},  {L"TransferByte", 2097152, 1024},
        {L"TransferByte", 65537, 1024},       {L"TransferByte", 65536, 65536},
        {L"ShowProgressDialog", 0, 100},      {L"TreeViewWidth", -1, 100},
        {L"Timeout", -5, 60},                 {L"Timeout", 86401, 60},

        {L"Port", 70000, 70000},  // stored unchecked, as by its setter: Connect refuses it
    };
    constexpr DWORD kMarker = 0x5A5A;  // a value every setter here accepts
    for (const RefusedValue& value : cases) {
        ComPtr<IDispatch> source = CreateControl();
        Put(source.Get(), value.name, static_cast<long>(kMarker));
        const std::string stream = WithValue(SaveToBytes(source.Get()), kMarker, static_cast<DWORD>(value.loaded));
        ComPtr<IDispatch> target = CreateControl();
        ASSERT_EQ(S_OK, target.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(stream).Get()));
        EXPECT_EQ(value.expected, Get(target.Get(), value.name).AsLong()) << "stream, " << value.loaded;

        PropertyBag bag;
        bag.values[value.name] = Variant(value.loaded);
        ComPtr<IDispatch> fromBag = CreateControl();
        ASSERT_EQ(S_OK, fromBag.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&bag, nullptr));
        EXPECT_EQ(value.expected, Get(fromBag.Get(), value.name).AsLong()) << "bag, " << value.loaded;
    }
    // A loaded pin and security mode are checked as their setters check them.
    const std::string pin(64, 'C');
    const struct {
        const char* pin;
        long mode;
        std::string expectedPin;
        long expectedMode;
    } loads[] = {{"zz", 3, "", 0}, {"ab cd", -1, "", 0}, {"cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc cc", 2, pin, 2}};
    for (const auto& load : loads) {
        PropertyBag bag;
        bag.values[L"CertificatePin"] = Variant(load.pin);
        bag.values[L"SecurityMode"] = Variant(load.mode);
        ComPtr<IDispatch> fromBag = CreateControl();
        ASSERT_EQ(S_OK, fromBag.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&bag, nullptr));
        EXPECT_EQ(load.expectedPin, Get(fromBag.Get(), L"CertificatePin").AsText()) << load.pin;
        EXPECT_EQ(load.expectedMode, Get(fromBag.Get(), L"SecurityMode").AsLong()) << load.mode;
    }
    // The setter has the same upper bound.
    ComPtr<IDispatch> control = CreateControl();
    Put(control.Get(), L"TransferByte", 2097152);
    EXPECT_EQ(1024, Get(control.Get(), L"TransferByte").AsLong());
}

TEST(HostileDocument, ATransferAfterLoadingAHugeChunkSizeCopiesWithTheDefault)
{
    ScratchDrive drive;
    MakeDirectory(drive.PathOf("from"));
    const std::string content = PatternBytes(10 * 1024);
    WriteBytes(drive.PathOf("from\\file.bin"), content);
    ComPtr<IDispatch> source = CreateControl();
    Put(source.Get(), L"TransferByte", 0x5A5A);
    Put(source.Get(), L"ConnectTarget", 0);
    Put(source.Get(), L"ServerName", drive.Root().c_str());
    const std::string stream = WithValue(SaveToBytes(source.Get()), 0x5A5A, 0x7FFFFFFF);
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_EQ(S_OK, control.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(stream).Get()));
    ASSERT_EQ(S_OK, Call(control.Get(), L"Connect").hr);
    ASSERT_EQ(S_OK, Call(control.Get(), L"PutFile", {drive.PathOf("from\\file.bin").c_str()}).hr);
    EXPECT_EQ(content, ReadBytes(drive.PathOf("file.bin")));
    Call(control.Get(), L"DisConnect");
}

TEST(HostileDocument, AHeaderClaimingGigabytesIsRefusedWithoutWaitingForThem)
{
    ComPtr<IDispatch> control = CreateControl();
    std::string bytes = SaveToBytes(control.Get());
    const DWORD claimed = 0x03FFFFFF;  // just under the format's 64 MiB limit
    std::memcpy(&bytes[8], &claimed, 4);
    EXPECT_TRUE(FAILED(control.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(StreamOf(bytes).Get())));
    EXPECT_EQ(1024, Get(control.Get(), L"TransferByte").AsLong());
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
        case 0:
            if (!bytes.empty())
                bytes[Below(bytes.size())] ^= static_cast<char>(1 << Below(8));
            break;
        case 1:
            if (!bytes.empty())
                bytes[Below(bytes.size())] = kBytes[Below(sizeof kBytes)];
            break;
        case 2:
            if (bytes.size() >= 4) {
                const DWORD word = kWords[Below(std::size(kWords))];
                std::memcpy(&bytes[Below(bytes.size() - 3)], &word, 4);
            }
            break;
        case 3:
            bytes.resize(Below(bytes.size() + 1));
            break;
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
};

// Loading is all or nothing, and whatever loads passes the setters' checks.
void ExpectWholeOrNothing(IDispatch* control, HRESULT loaded, const std::string& before, const char* what, int round)
{
    if (FAILED(loaded)) {
        EXPECT_EQ(before, SaveToBytes(control)) << what << " round " << round << ": a refused load changed values";
        return;
    }
    const long chunk = Get(control, L"TransferByte").AsLong();
    EXPECT_TRUE(chunk >= 1 && chunk <= 65536) << what << " round " << round << ": TransferByte " << chunk;
    EXPECT_GE(Get(control, L"ShowProgressDialog").AsLong(), 1) << what << " round " << round;
    EXPECT_GE(Get(control, L"TreeViewWidth").AsLong(), 0) << what << " round " << round;
    const long timeout = Get(control, L"Timeout").AsLong();
    EXPECT_TRUE(timeout >= 0 && timeout <= 86400) << what << " round " << round;
    const long encoding = Get(control, L"ServerEncoding").AsLong();
    EXPECT_TRUE(encoding >= 0 && encoding <= 2) << what << " round " << round;
}

TEST(HostileDocument, MutatedStreamsAndStoragesLoadWholeOrNotAtAll)
{
    ComPtr<IDispatch> source = CreateControl();
    ChangeEverything(source.Get());
    Put(source.Get(), L"Timeout", 60);
    Put(source.Get(), L"Port", 21);
    const std::string documents[] = {SaveToBytes(source.Get()), SavedStream("stream-1.0-defaults.bin")};
    ComPtr<IDispatch> target = CreateControl();
    auto persist = target.As<IPersistStreamInit>(IID_IPersistStreamInit);
    auto storage = target.As<IPersistStorage>(IID_IPersistStorage);
    int loaded = 0;
    for (int round = 0; round < 1500; ++round) {
        Mutator mutator(static_cast<unsigned>(round));
        std::string bytes = documents[round % 2];
        for (size_t mutations = mutator.Below(3) + 1; mutations > 0; --mutations)
            bytes = mutator.Mutate(std::move(bytes));
        const std::string before = SaveToBytes(target.Get());
        HRESULT hr;
        if (round % 10 == 0) {
            // The same bytes as the "Contents" stream of a storage.
            ComPtr<ILockBytes> memory;
            ComPtr<IStorage> document;
            ComPtr<IStream> contents;
            ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, memory.Put()));
            ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(memory.Get(), STGM_CREATE | STGM_READWRITE |
                                                         STGM_SHARE_EXCLUSIVE, 0, document.Put()));
            ASSERT_EQ(S_OK, document->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                                                   0, contents.Put()));
            contents->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
            contents = ComPtr<IStream>();
            hr = storage->Load(document.Get());
            storage->HandsOffStorage();
            storage->SaveCompleted(nullptr);
        } else {
            hr = persist->Load(StreamOf(bytes).Get());
        }
        loaded += SUCCEEDED(hr) ? 1 : 0;
        ExpectWholeOrNothing(target.Get(), hr, before, "stream", round);
        if (HasFailure())
            break;
    }
    // Mutations that keep a valid document exist (a flipped character of a name).
    EXPECT_GT(loaded, 0);
}

TEST(HostileDocument, PropertyBagsOfEveryTypeLoadWholeOrNotAtAll)
{
    const std::wstring huge(1 << 20, L'x');
    ComPtr<IDispatch> target = CreateControl();
    auto persist = target.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        Mutator mutator(static_cast<unsigned>(round) + 7919);
        PropertyBag bag;
        // A few values of odd types; the others missing (their defaults).
        for (size_t count = mutator.Below(3) + 1; count > 0; --count) {
            const wchar_t* name = kCustomNames[mutator.Below(kCustomNames.size())];
            Variant value;
            switch (mutator.Below(9)) {
            case 0:
                value = Variant(static_cast<long>(mutator.Below(70000)));
                break;
            case 1: value = Variant(static_cast<long>(mutator.Next())); break;
            case 2: value = Variant(static_cast<long>(mutator.Below(3)) - 1); break;
            case 3: value = Variant(mutator.Below(2) == 0); break;
            case 4: value = Variant(huge.c_str()); break;
            case 5:
                value.Get()->vt = VT_BSTR;
                value.Get()->bstrVal = SysAllocStringLen(L"a\0b\0", 4);  // embedded NULs
                break;
            case 6:
                value.Get()->vt = VT_BSTR;
                value.Get()->bstrVal = SysAllocStringLen(L"\u8868\0\\", 3);  // 表, a NUL, a backslash
                break;
            case 7:
                value.Get()->vt = VT_R8;
                value.Get()->dblVal = mutator.Below(2) == 0 ? 1e300 : -0.5;
                break;
            default:
                value.Get()->vt = mutator.Below(2) == 0 ? VT_NULL : VT_EMPTY;
            }
            bag.values[name] = value;
        }
        const std::string before = SaveToBytes(target.Get());
        const HRESULT hr = persist->Load(&bag, nullptr);
        loaded += SUCCEEDED(hr) ? 1 : 0;
        ExpectWholeOrNothing(target.Get(), hr, before, "bag", round);
        if (HasFailure())
            break;
    }
    EXPECT_GT(loaded, 0);
}

}  // namespace
