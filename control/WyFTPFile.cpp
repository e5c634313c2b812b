// One directory entry as an automation object: Name, Type, Size, LastWriteTime, ExactSize.
#include "control/WyFTPFile.h"

#include "control/WyFTPIds.h"

#include <iterator>

DispatchTable CWyFTPFile::GetDispatchTable() const
{
    using C = CWyFTPFile;
    static const DispatchMember members[] = {
        DispProperty<&C::GetName, &C::SetName>(1, L"Name"),
        DispProperty<&C::GetType, &C::SetType>(2, L"Type"),
        DispProperty<&C::GetSize, &C::SetSize>(3, L"Size"),
        DispProperty<&C::GetLastWriteTime, &C::SetLastWriteTime>(4, L"LastWriteTime"),
        DispProperty<&C::GetExactSize>(5, L"ExactSize"),
    };
    return {members, std::size(members)};
}

const IID& CWyFTPFile::GetDispatchIid() const { return DIID_IWyFTPFile; }
TypeLibraryId CWyFTPFile::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }
