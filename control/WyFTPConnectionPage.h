// The control's second property page: how it connects (passive mode, port, timeout, encoding).
#pragma once
#include "framework/OlePropertyPage.h"

class CWyFTPConnectionPage : public COlePropertyPage {
public:
    CWyFTPConnectionPage();

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override { return {nullptr, 0}; }
    const IID& GetDispatchIid() const override { return IID_IDispatch; }
    TypeLibraryId GetTypeLibraryId() const override;

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    const wchar_t* GetDocString() const override { return L"How the control connects"; }
    const wchar_t* GetHelpFile() const override { return L"WyFTP.HLP"; }

private:
    BOOL m_bPassiveMode = FALSE;
    long m_lPort = 0;
    long m_lTimeout = 0;
    int m_nServerEncoding = 0;
};
