// The control's own property page: all twelve custom properties on dialog 200.
#pragma once
#include "framework/OlePropertyPage.h"

class CWyFTPPropPage : public COlePropertyPage {
public:
    CWyFTPPropPage();

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override { return {nullptr, 0}; }
    const IID& GetDispatchIid() const override { return IID_IDispatch; }
    TypeLibraryId GetTypeLibraryId() const override;

protected:

    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnHelp(const wchar_t* helpDirectory) override;
    const wchar_t* GetDocString() const override { return L"Names to appear in the control"; }
    const wchar_t* GetHelpFile() const override { return L"WyFTP.HLP"; }

private:
    BOOL m_bVisibleTree = TRUE;
    std::string m_strConnectDirectory;
    std::string m_strDownloadDirectory;
    std::string m_strPassword;
    std::string m_strServerName;
    long m_lTransferByte = 0;
    std::string m_strUserName;
    int m_nConnectTarget = -1;
    int m_nListViewMode = -1;
    BOOL m_bEnableProgressDialog = FALSE;
    long m_lTreeViewWidth = 0;
    long m_lShowProgressDialog = 0;
};
