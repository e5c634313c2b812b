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

    Variant Item(Variant index) { return Call(files.Get(), L"Item", {index}, DISPATCH_PROPERTYGET).value; }
    static std::string NameOf(const Variant& file) { return Get(file.AsDispatch(), L"Name").AsText(); }

    ComPtr<CWyFTPFiles> collection;
    ComPtr<IDispatch> files;
};

TEST_F(FileCollection, CountAndItemByNumberOrNumericTextAndNothingForOtherIndexes)
{
    EXPECT_EQ(3, Get(files.Get(), L"Count").AsLong());
    const Variant first = Item(0);
    ASSERT_NE(nullptr, first.AsDispatch());
    EXPECT_EQ(first.AsDispatch(), Item("0").AsDispatch());
    // Each read hands out a reference of its own: the item outlives them.
    Item(0);
    Item(0);
    EXPECT_EQ("a.txt", NameOf(Item(0)));
    const Variant file = Call(files.Get(), L"Item", {1}, DISPATCH_METHOD | DISPATCH_PROPERTYGET).value;
    EXPECT_EQ("表.txt", NameOf(file));
    const Variant directory = Item(2);
    EXPECT_EQ(0, Get(directory.AsDispatch(), L"Type").AsLong());
    EXPECT_EQ(10, Get(directory.AsDispatch(), L"Size").AsLong());
    EXPECT_EQ(VT_DATE, Get(directory.AsDispatch(), L"LastWriteTime").Type());
    for (Variant index : {Variant(3), Variant(-1), Variant("x"), Variant("1e9"), Variant(100000)}) {
        const Variant none = Item(index);
        EXPECT_EQ(VT_DISPATCH, none.Type());
        EXPECT_EQ(nullptr, none.AsDispatch()) << index.AsText();
    }

    // Writing Count and Item is accepted and changes nothing; an object is no name.
    EXPECT_EQ(S_OK, Put(files.Get(), L"Count", 99).hr);
    EXPECT_EQ(S_OK, Call(files.Get(), L"Item", {1, "other.txt"}, DISPATCH_PROPERTYPUT).hr);
    Variant object;
    object.Get()->vt = VT_DISPATCH;
    object.Get()->pdispVal = files.Get();
    files->AddRef();
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(files.Get(), L"Item", {1, object}, DISPATCH_PROPERTYPUTREF).hr);
    EXPECT_EQ(3, Get(files.Get(), L"Count").AsLong());
    EXPECT_EQ(file.AsDispatch(), Item(1).AsDispatch());
    EXPECT_EQ("表.txt", NameOf(file));
}

TEST_F(FileCollection, EnumeratorNextSkipResetCloneAndItKeepsTheCollectionAlive)
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
        names.push_back(NameOf(item));
        VariantClear(item.Get());
    }
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ((std::vector<std::string>{"a.txt", "表.txt", "sub"}), names);
    // After the end was reported, Next starts again at the first entry.
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ("a.txt", NameOf(item));
    VariantClear(item.Get());

    EXPECT_EQ(S_OK, enumerator->Skip(1));
    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, enumerator->Clone(clone.Put()));
    ASSERT_EQ(S_OK, clone->Next(1, item.Get(), nullptr));
    EXPECT_EQ("sub", NameOf(item));
    VariantClear(item.Get());
    EXPECT_EQ(S_FALSE, enumerator->Skip(5));
    EXPECT_EQ(S_OK, enumerator->Reset());
    EXPECT_EQ(E_POINTER, enumerator->Clone(nullptr));

    // The host lets go of the collection first.
    VariantClear(unknown.Get());
    files.Reset();
    collection.Reset();
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ("a.txt", NameOf(item));
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
