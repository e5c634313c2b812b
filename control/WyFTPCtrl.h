// The WyFTP ActiveX control: properties, persistence, events, error reporting and automation methods.
#pragma once
#include "control/WyFTPProperty.h"
#include "explorer/WyExplorerOwner.h"
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyFileSystemOwner.h"
#include "framework/Exception.h"
#include "framework/OleControl.h"
#include "ftp/FtpOptions.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWyExplorerWnd;

class CWyFTPCtrl : public COleControl,
                   public CWyFileSystemOwner,
                   public CWyExplorerOwner,
                   public CCertificateJudge,
                   public CSessionWatcher {
public:
    CWyFTPCtrl();

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override;
    const IID& GetDispatchIid() const override;
    TypeLibraryId GetTypeLibraryId() const override;

    // Properties: the table's rows (WyFTPPropertyTable.cpp) say what there
    // is; these are the accessors other parts of the control use.
    bool GetVisibleTree() const { return Number(L"VisibleTree") == 1; }
    std::string GetServerNameProperty() const override { return Text(L"ServerName"); }
    void SetServerNameProperty(const std::string& serverName) override;
    std::string GetUserNameProperty() const override { return Text(L"UserName"); }
    void SetUserNameProperty(const std::string& userName) override;
    std::string GetPasswordProperty() const override { return Text(L"Password"); }
    void SetPasswordProperty(const std::string& password) override;
    std::string GetStartDirectory() const override;
    DWORD GetTransferChunkSize() const override { return static_cast<DWORD>(Number(L"TransferByte")) * 1024; }
    const wchar_t* GetMessageCaption() const override { return GetErrorSource(); }
    LONG GetShowProgressDialogProperty() const override { return Number(L"ShowProgressDialog"); }
    // The connection properties, and the control as the judge of a
    // secure server's certificate (its ServerCertificate event).
    CFtpOptions GetConnectionOptions() override;
    // Remembers the certificate's fingerprint and lets the host decide
    // (ServerCertificate); the host's default answer is the check's.
    bool AcceptCertificate(const CServerCertificate& certificate, CertificateProblem problem) override;
    void CertificateMet(const CServerCertificate& certificate) override;
    std::string GetLastCertificateFingerprint() const { return m_strLastFingerprint; }
    // The sessions' conversation as the ProtocolTrace event (while
    // EnableProtocolTrace), and appended to TraceFile with the time; their
    // reconnects as the Reconnecting event.
    void ProtocolTrace(const std::string& line) override;
    void Reconnecting(int attempt, const FtpError& reason) override;

    // Methods: connection and navigation
    void Connect(const VARIANT& targetName, const VARIANT& userName, const VARIANT& password);
    void DisConnect();
    void SetCurrentDirectory(const std::string& directory);
    std::string GetCurrentDirectory(long fullPath);
    void DirUp();
    void Refresh();
    void SelectFile(const std::string& name);
    std::string GetCurrentFile(long fullPath);
    void ClearSelectedFile(const std::string& name);
    void SortListItem(long column, long order);
    IDispatch* GetFileList(const std::string& directory);
    // Methods: transfers and file operations
    void GetFile(const VARIANT& localDirectory);
    void PutFile(const std::string& localFile);
    void AbortTransfer();
    long GetFileSize(const std::string& name);
    void CreateDirectory(const std::string& name);
    void RemoveDirectory(const std::string& name);
    void RemoveFile(const std::string& name);
    void RenameFile(const std::string& oldName, const std::string& newName);
    // Methods: errors and the About box
    long GetLastError() const;
    std::string GetErrorMessage() const;
    void AboutBox();

    // Error reporting
    // Fires the stock Error event; never raises.
    virtual void ReportError(SCODE status, const std::string& description, UINT helpContext);
    // Raises an automation error to the caller of a method.
    [[noreturn]] void RaiseError(SCODE status, UINT descriptionId, UINT helpContext);
    void SetLastErrorInfo(long code, const std::string& message) override;
    // Record the code with its message and raise it as an own error (0x800A03EA).
    [[noreturn]] void RaiseOwnError(int code);
    [[noreturn]] void RequireFileSystem();
    [[noreturn]] void RaiseNoFileName();

    // State used by the file stores and the explorer (CWyExplorerOwner)
    bool IsTransferring() const override { return m_bTransferring != FALSE; }
    void SetTransferring(bool transferring) override { m_bTransferring = transferring; }
    CWyFileSystem* GetFileSystem() const override { return m_pFileSystem.get(); }
    bool IsTreeVisible() const override { return GetVisibleTree(); }
    void UseFileSystem(const std::function<void(CWyFileSystem&)>& work) override;
    void FireErrorEvent(SCODE status, const std::string& description, UINT helpContext) override;

    // CWyFileSystemOwner
    BOOL IsProgressDialogEnabled() const override { return Number(L"EnableProgressDialog") != FALSE; }
    std::string GetCurrentDirectoryString() const override { return m_strCurrentDirectory; }  // both owners
    unsigned GetCallGeneration() const override { return m_nCallDepth > 0 ? m_nCallGeneration : 0; }
    // One call of the host (an automation call) or gesture of the user
    // (CWyExplorerOwner) begins or ends; calls may nest.
    void BeginCall() override { ++m_nCallDepth; }
    void EndCall() override;
    void SetCurrentDirectoryString(const std::string& directory) override { m_strCurrentDirectory = directory; }
    void FireTransferProgress(LONG bytes) override;
    void FireChangeCurrentDirectory(const char* directory) override;
    HWND GetControlWindow() const override { return GetHwnd(); }
    void AnswerSentMessages() override;
    std::unique_ptr<CWyProgressDisplay> CreateProgressDisplay(CWyFileSystem& fileSystem) override;

    // Events
    void FireConnected();
    void FireDisConnected();
    void FireTreePopUp(const std::string& name) override;
    void FireListPopUp(const std::string& name) override;
    void FireTransferStart(const std::string& name) override;
    void FireTransferEnd() override;

protected:
    ~CWyFTPCtrl() override;

    const CLSID& GetClassId() const override;
    const IID& GetEventIid() const override;
    void DoPropExchange(CPropExchange& exchange) override;
    void OnPropertiesLoaded() override;
    std::vector<CLSID> GetPropertyPageIds() const override;
    UINT GetUserTypeNameId() const override;
    UINT GetPropertiesVerbNameId() const override;
    DWORD GetMiscStatusBits() const override;
    bool OnGetDisplayString(DISPID id, std::string& text) override;
    bool OnGetPredefinedStrings(DISPID id, std::vector<std::pair<std::string, DWORD>>& strings) override;
    bool OnGetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) override;
    void OnBackColorChanged() override;
    void OnForeColorChanged() override;
    void OnFinalRelease() override;
    // The window (WyFTPCtrlWindow.cpp)
    bool OnCreate() override;
    void OnSize(int cx, int cy) override;
    void OnDestroy() override;
    void OnSetFocus() override;
    void OnDraw(HDC dc, const RECT& bounds) override;
    // The keep-alive of an idle connection, between calls.
    void OnTimer(UINT_PTR id) override;

private:
    // The explorer, made with a hidden window when the host never showed
    // the control; null only when no window can be made.
    CWyExplorerWnd* Explorer();
    // The explorer if the window exists; never makes one.
    CWyExplorerWnd* ExistingExplorer() const { return m_pExplorer.get(); }
    // The view refresh step of the methods: the tree's level and the list of
    // the current directory.
    void RefreshViews();
    // After Connect: the tree opened down to the start directory and its list.
    void ShowStartDirectory();
    // Image lists, colours, mode and bar position onto the explorer's views.
    void ApplyViewProperties();
    void AttachTreeImages();
    void ApplyBackColor(COLORREF color);
    void ApplyForeColor(COLORREF color);
    bool EnterMethod();
    // ConnectTarget names a store (it is stored unchecked): transfers do
    // nothing after the host set another value.
    bool IsKnownConnectTarget() const;
    long GetConnectTargetValue() const { return Number(L"ConnectTarget"); }
    void RequireName(const std::string& name);
    // Runs work under the handlers that turn a failure into a recorded code
    // and message and an automation error, with the store in use.
    void RunGuarded(const std::function<void()>& work);
    // Runs work with the store marked in use: a DisConnect that an event
    // handler asks for meanwhile waits until the store is no longer on the
    // stack, then happens.
    void WithFileSystemInUse(const std::function<void()>& work);
    void DisconnectIfAsked();
    // Closes and deletes the store and fires DisConnected.
    void CloseFileSystem();
    void FireStringEvent(DISPID id, const std::string& text);
    // Starts the keep-alive timer when KeepAliveInterval asks for one.
    void StartKeepAlive();

    // The table's properties (WyFTPCtrlProperties.cpp). The table names the
    // setters with rules of their own.
    friend WyFTPPropertyTable WyFTPProperties();
    // The value of a property: a flag or a number, or text.
    long Number(const wchar_t* name) const;
    const std::string& Text(const wchar_t* name) const;
    WyFTPPropertyValue& ValueOf(const WyFTPProperty& property);
    const WyFTPPropertyValue& ValueOf(const WyFTPProperty& property) const;
    // The dispatch members of the table's properties.
    static std::vector<DispatchMember> PropertyDispatchMembers();
    static void InvokePropertyGet(CCmdTarget& target, DispatchCall& call);
    static void InvokePropertyPut(CCmdTarget& target, DispatchCall& call);
    void PutProperty(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    // Stores a value its check accepts and that differs from the stored one;
    // true when it did.
    bool StoreProperty(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void ExchangeProperty(CPropExchange& exchange, const WyFTPProperty& property);
    // A document is untrusted: after a load, every value its setter would
    // refuse takes its default.
    void DefaultRefusedLoadedValues();
    // Announces a stored change of a persisted property.
    void PropertyChanged(DISPID id);
    void PutAnnouncingEveryWrite(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void PutServerName(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void PutCertificatePin(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void PutVisibleTree(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void PutListViewMode(const WyFTPProperty& property, const WyFTPPropertyValue& value);
    void PutTreeViewWidth(const WyFTPProperty& property, const WyFTPPropertyValue& value);

    BOOL m_bTransferring = FALSE;
    int m_nFileSystemUsers = 0;        // store operations on the stack
    int m_nCallDepth = 0;              // calls and gestures on the stack
    unsigned m_nCallGeneration = 1;    // counts the outermost calls ended
    bool m_bDisconnectAsked = false;   // a DisConnect came while one ran
    unsigned m_nConnections = 0;       // stores made so far: tells one connection from the next
    std::string m_strCurrentDirectory;
    std::string m_strLastFingerprint;  // of the last server certificate seen
    // The colours last given to the views, saved with the properties; the
    // constructor gives them their defaults (DoPropExchange).
    OLE_COLOR m_clrFore;
    OLE_COLOR m_clrBack;
    std::string m_strLastErrorMessage;
    long m_lLastErrorCode = 0;
    // The values of the table's properties, in the table's order; the
    // constructor gives them their defaults.
    std::vector<WyFTPPropertyValue> m_properties;
    std::unique_ptr<CWyFileSystem> m_pFileSystem;
    std::unique_ptr<CWyExplorerWnd> m_pExplorer;
};
