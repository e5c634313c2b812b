// The file collection: Count, Item by number and numeric text, and its IEnumVARIANT enumerator.
#include "tests/control/ComTestSupport.h"

#include "control/WyFTPFiles.h"

namespace {

class FileCollection : public testing::Test {
protected:
    void SetUp() override
    {
        collection = ComPtr<CWyFTPFiles>::Attach(new CWyFTPFiles);
        for (const char* name : {"a.txt", "表.txt", "sub"}) {
            CWyDirectoryEntry entry;
            entry.name = name;
            entry.type = name[0] == 's' ? CWyDirectoryEntry::kDirectory : CWyDirectoryEntry::kFile;
            entry.length = entry.size = 10;
            entry.lastWriteTime = 36526.5;
            collection->AddEntry(entry);
        }
        files = ComPtr<IDispatch>(collection->GetIDispatch());
    }

    std::string NameOf(IDispatch* file) { return Get(file, L"Name").AsText(); }

    ComPtr<CWyFTPFiles> collection;
    ComPtr<IDispatch> files;
};

TEST_F(FileCollection, CountAndItemByNumberOrNumericText)
{
    EXPECT_EQ(3, Get(files.Get(), L"Count").AsLong());
    CallResult byNumber = Call(files.Get(), L"Item", {0}, DISPATCH_PROPERTYGET);
    CallResult byText = Call(files.Get(), L"Item", {"0"}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(S_OK, byNumber.hr);
    ASSERT_NE(nullptr, byNumber.value.AsDispatch());
    EXPECT_EQ(byNumber.value.AsDispatch(), byText.value.AsDispatch());
    IDispatch* file = Call(files.Get(), L"Item", {1}, DISPATCH_METHOD | DISPATCH_PROPERTYGET).value.AsDispatch();
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("表.txt", NameOf(file));
    IDispatch* directory = Call(files.Get(), L"Item", {2}, DISPATCH_PROPERTYGET).value.AsDispatch();
    EXPECT_EQ(0, Get(directory, L"Type").AsLong());
    EXPECT_EQ(10, Get(directory, L"Size").AsLong());
    EXPECT_EQ(VT_DATE, Get(directory, L"LastWriteTime").Type());
    // Writing Count and Item is accepted and changes nothing.
    EXPECT_EQ(S_OK, Put(files.Get(), L"Count", 99).hr);
    EXPECT_EQ(3, Get(files.Get(), L"Count").AsLong());
    EXPECT_EQ(S_OK, Call(files.Get(), L"Item", {1, "other.txt"}, DISPATCH_PROPERTYPUT).hr);
    Variant again = Call(files.Get(), L"Item", {1}, DISPATCH_PROPERTYGET).value;
    EXPECT_EQ(file, again.AsDispatch());
    EXPECT_EQ("表.txt", NameOf(file));
    // An object is no name: refused, not read as text.
    Variant object;
    object.Get()->vt = VT_DISPATCH;
    object.Get()->pdispVal = files.Get();
    files->AddRef();
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(files.Get(), L"Item", {1, object}, DISPATCH_PROPERTYPUTREF).hr);
    EXPECT_EQ(3, Get(files.Get(), L"Count").AsLong());
}

TEST_F(FileCollection, BadIndexesGiveNothing)
{
    for (Variant index : {Variant(3), Variant(-1), Variant("x"), Variant("1e9"), Variant(100000)}) {
        CallResult result = Call(files.Get(), L"Item", {index}, DISPATCH_PROPERTYGET);
        EXPECT_EQ(S_OK, result.hr);
        EXPECT_EQ(VT_DISPATCH, result.value.Type());
        EXPECT_EQ(nullptr, result.value.AsDispatch()) << index.AsText();
    }
}

TEST_F(FileCollection, ReadingAnItemTwiceKeepsItUsable)
{
    {
        Variant first = Call(files.Get(), L"Item", {0}, DISPATCH_PROPERTYGET).value;
        Variant second = Call(files.Get(), L"Item", {0}, DISPATCH_PROPERTYGET).value;
    }
    Variant third = Call(files.Get(), L"Item", {0}, DISPATCH_PROPERTYGET).value;
    EXPECT_EQ("a.txt", NameOf(third.AsDispatch()));
}

TEST_F(FileCollection, EnumeratorNextSkipResetClone)
{
    Variant unknown = Get(files.Get(), L"_NewEnum");
    ASSERT_EQ(VT_UNKNOWN, unknown.Type());
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(S_OK, unknown.Value().punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(enumerator.Put())));

    Variant items[2];
    ULONG fetched = 99;
    EXPECT_EQ(E_INVALIDARG, enumerator->Next(2, items[0].Get(), &fetched));
    EXPECT_EQ(99u, fetched);  // nothing changed

    std::vector<std::string> names;
    Variant item;
    while (enumerator->Next(1, item.Get(), &fetched) == S_OK) {
        EXPECT_EQ(1u, fetched);
        EXPECT_EQ(VT_DISPATCH, item.Type());
        names.push_back(NameOf(item.AsDispatch()));
        VariantClear(item.Get());
    }
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ((std::vector<std::string>{"a.txt", "表.txt", "sub"}), names);
    // After the end was reported, Next starts again at the first entry.
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ("a.txt", NameOf(item.AsDispatch()));
    VariantClear(item.Get());

    EXPECT_EQ(S_OK, enumerator->Skip(1));
    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, enumerator->Clone(clone.Put()));
    ASSERT_EQ(S_OK, clone->Next(1, item.Get(), nullptr));
    EXPECT_EQ("sub", NameOf(item.AsDispatch()));
    VariantClear(item.Get());
    EXPECT_EQ(S_FALSE, enumerator->Skip(5));
    EXPECT_EQ(S_OK, enumerator->Reset());
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ("a.txt", NameOf(item.AsDispatch()));
    EXPECT_EQ(E_POINTER, enumerator->Clone(nullptr));
}

TEST_F(FileCollection, EnumeratorKeepsItsCollectionAlive)
{
    Variant unknown = Get(files.Get(), L"_NewEnum");
    ComPtr<IEnumVARIANT> enumerator;
    unknown.Value().punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(enumerator.Put()));
    VariantClear(unknown.Get());
    // The host lets go of the collection first.
    files.Reset();
    collection.Reset();
    Variant item;
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ("a.txt", NameOf(item.AsDispatch()));
}

TEST(EmptyFileCollection, EnumeratorReportsTheEndAtOnce)
{
    ComPtr<CWyFTPFiles> collection = ComPtr<CWyFTPFiles>::Attach(new CWyFTPFiles);
    ComPtr<IDispatch> files(collection->GetIDispatch());
    EXPECT_EQ(0, Get(files.Get(), L"Count").AsLong());
    Variant unknown = Get(files.Get(), L"_NewEnum");
    ComPtr<IEnumVARIANT> enumerator;
    unknown.Value().punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(enumerator.Put()));
    Variant item;
    EXPECT_EQ(S_FALSE, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ(S_FALSE, enumerator->Reset());
    EXPECT_EQ(-1, collection->Add(nullptr, 5));
}

}  // namespace
