// The for-each enumerator of a file collection.
#pragma once
#include "control/WyFTPFiles.h"

// Holds a reference to its collection, so the collection outlives every
// enumerator made from it.
class CWyFTPFilesEnum : public CCmdTarget, public IEnumVARIANT {
public:
    CWyFTPFilesEnum(CWyFTPFiles& files, long index);

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override { return {nullptr, 0}; }
    const IID& GetDispatchIid() const override { return IID_IDispatch; }
    TypeLibraryId GetTypeLibraryId() const override;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return CCmdTarget::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return CCmdTarget::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CCmdTarget::Release(); }

    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** clone) override;

protected:
    ~CWyFTPFilesEnum() override;
    HRESULT QueryOtherInterface(REFIID iid, void** object) override;

private:
    ComPtr<IDispatch> m_collection;
    CWyFTPFiles& m_files;
    long m_nIndex;  // −1: not positioned (empty, or past the end)
};
