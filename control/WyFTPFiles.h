// A snapshot of one directory listing as an automation collection: Count, Item and for-each.
#pragma once
#include "control/WyFTPFile.h"
#include "filesystem/WyDirectoryEntry.h"

#include <vector>

class CWyFTPFiles : public CCmdTarget, public CWyFileList {
public:
    CWyFTPFiles() = default;

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override;
    const IID& GetDispatchIid() const override;
    TypeLibraryId GetTypeLibraryId() const override;

    // Stores the file at index (−1 appends); returns the index used, or −1
    // for an index below −1 or above the count.
    long Add(CWyFTPFile* file, long index);
    // CWyFileList: one new file object per listed entry.
    void AddEntry(const CWyDirectoryEntry& entry) override;

    long GetCount() const { return static_cast<long>(m_arrFiles.size()); }
    void SetCount(long) {}
    // The file at a zero-based index (a number or numeric text), or nothing.
    IDispatch* GetItem(const VARIANT& index);
    void SetItem(const VARIANT&, const std::string&) {}
    IUnknown* GetNewEnum();

    // For the enumerator: the file at an index known to be valid, with a new reference.
    IDispatch* FileAt(long index) const;

protected:

private:
    std::vector<ComPtr<CWyFTPFile>> m_arrFiles;
};
