// A snapshot of one directory listing as an automation collection: Count, Item and for-each.
#include "control/WyFTPFiles.h"

#include "control/WyFTPFilesEnum.h"
#include "control/WyFTPIds.h"
#include "filesystem/FileSizeAnswer.h"

#include <iterator>

DispatchTable CWyFTPFiles::GetDispatchTable() const
{
    using C = CWyFTPFiles;
    static const DispatchMember members[] = {
        DispProperty<&C::GetCount, &C::SetCount>(1, L"Count"),
        DispProperty<&C::GetItem, &C::SetItem>(2, L"Item"),
        DispProperty<&C::GetNewEnum>(DISPID_NEWENUM, L"_NewEnum"),
    };
    return {members, std::size(members)};
}

const IID& CWyFTPFiles::GetDispatchIid() const { return DIID_IWyFTPFiles; }
TypeLibraryId CWyFTPFiles::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

long CWyFTPFiles::Add(CWyFTPFile* file, long index)
{
    if (index < -1 || index > GetCount())
        return -1;
    if (index == -1)
        index = GetCount();
    m_arrFiles.insert(m_arrFiles.begin() + index, ComPtr<CWyFTPFile>(file));
    return index;
}

void CWyFTPFiles::AddEntry(const CWyDirectoryEntry& entry)
{
    ComPtr<CWyFTPFile> file = ComPtr<CWyFTPFile>::Attach(new CWyFTPFile);
    file->SetName(entry.name);
    file->SetType(entry.type);
    file->SetSize(static_cast<long>(FileSizeAnswer(static_cast<LONGLONG>(entry.length))));
    file->SetLength(entry.length);
    file->SetLastWriteTime(entry.lastWriteTime);
    Add(file.Get(), -1);
}

IDispatch* CWyFTPFiles::FileAt(long index) const
{
    IDispatch* file = m_arrFiles[static_cast<size_t>(index)]->GetIDispatch();
    file->AddRef();
    return file;
}

IDispatch* CWyFTPFiles::GetItem(const VARIANT& index)
{
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&index), 0, VT_I4)))
        return nullptr;
    if (number.lVal < 0 || number.lVal >= GetCount())
        return nullptr;
    return FileAt(number.lVal);
}

IUnknown* CWyFTPFiles::GetNewEnum()
{
    CWyFTPFilesEnum* enumerator = new CWyFTPFilesEnum(*this, -1);
    enumerator->Reset();
    return static_cast<IEnumVARIANT*>(enumerator);
}
