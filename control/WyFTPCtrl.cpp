// The WyFTP ActiveX control: identity, the dispatch table and events.
#include "control/WyFTPCtrl.h"

#include "control/TraceFile.h"
#include "control/WyFTPIds.h"
#include "explorer/WyExplorerWnd.h"
#include "explorer/WyTransferProgressDlg.h"
#include "filesystem/InternetError.h"
#include "filesystem/WyFTPException.h"
#include "framework/OleDateTime.h"
#include "resources/resource.h"

#include <vector>

namespace {

enum : DISPID {
    kTransferProgressEvent = 1, kConnectedEvent, kDisConnectedEvent, kTreePopUpEvent, kListPopUpEvent,
    kChangeCurrentDirectoryEvent, kTransferStartEvent, kTransferEndEvent, kServerCertificateEvent,
    kReconnectingEvent, kProtocolTraceEvent
};

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr DWORD kMiscStatus = 0x20191;

// {0BE35201-8F91-11CE-9DE3-00AA004BB851}
constexpr CLSID kStockFontPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

}  // namespace

CWyFTPCtrl::CWyFTPCtrl() : COleControl(DIID__DWyFTPEvents), m_properties(WyFTPProperties().count)
{
    // A new control holds the defaults, as after InitNew.
    CDefaultPropExchange defaults;
    CWyFTPCtrl::DoPropExchange(defaults);
}

CWyFTPCtrl::~CWyFTPCtrl() = default;

void CWyFTPCtrl::OnFinalRelease()
{
    // The store goes without a Disconnect; closing its handles is enough.
    m_pFileSystem.reset();
    COleControl::OnFinalRelease();
}

DispatchTable CWyFTPCtrl::GetDispatchTable() const
{
    using C = CWyFTPCtrl;
    static const std::vector<DispatchMember> members = [] {
        std::vector<DispatchMember> all = PropertyDispatchMembers();
        all.insert(all.end(), {
            DispMethod<&C::DisConnect>(13, L"DisConnect"),
            DispMethod<&C::RemoveDirectory>(14, L"RemoveDirectory"),
            DispMethod<&C::CreateDirectory>(15, L"CreateDirectory"),
            DispMethod<&C::RemoveFile>(16, L"RemoveFile"),
            DispMethod<&C::GetFileSize>(17, L"GetFileSize"),
            DispMethod<&C::AbortTransfer>(18, L"AbortTransfer"),
            DispMethod<&C::RenameFile>(19, L"RenameFile"),
            DispMethod<&C::GetFile>(20, L"GetFile", 1),
            DispMethod<&C::PutFile>(21, L"PutFile"),
            DispMethod<&C::SetCurrentDirectory>(22, L"SetCurrentDirectory"),
            DispMethod<&C::GetCurrentDirectory>(23, L"GetCurrentDirectory"),
            DispMethod<&C::SelectFile>(24, L"SelectFile"),
            DispMethod<&C::SortListItem>(25, L"SortListItem"),
            DispMethod<&C::Connect>(26, L"Connect", 3),
            DispMethod<&C::GetCurrentFile>(27, L"GetCurrentFile"),
            DispMethod<&C::DirUp>(28, L"DirUp"),
            DispMethod<&C::GetLastError>(29, L"GetLastError"),
            DispMethod<&C::GetErrorMessage>(30, L"GetErrorMessage"),
            DispMethod<&C::Refresh>(31, L"Refresh"),
            DispMethod<&C::GetFileList>(32, L"GetFileList"),
            DispMethod<&C::ClearSelectedFile>(33, L"ClearSelectedFile"),
            DispProperty<&C::GetLastCertificateFingerprint>(40, L"LastCertificateFingerprint"),
            DispProperty<&COleControl::GetBackColor, &COleControl::SetBackColor>(DISPID_BACKCOLOR, L"BackColor"),
            DispProperty<&COleControl::GetForeColor, &COleControl::SetForeColor>(DISPID_FORECOLOR, L"ForeColor"),
            DispProperty<&COleControl::GetFont, &COleControl::SetFont>(DISPID_FONT, L"Font"),
            DispMethod<&C::AboutBox>(DISPID_ABOUTBOX, L"AboutBox"),
        });
        return all;
    }();
    return {members.data(), members.size()};
}

const IID& CWyFTPCtrl::GetDispatchIid() const { return DIID__DWyFTP; }
TypeLibraryId CWyFTPCtrl::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }
const CLSID& CWyFTPCtrl::GetClassId() const { return CLSID_WyFTP; }
const IID& CWyFTPCtrl::GetEventIid() const { return DIID__DWyFTPEvents; }
UINT CWyFTPCtrl::GetUserTypeNameId() const { return IDS_WYFTP; }
UINT CWyFTPCtrl::GetPropertiesVerbNameId() const { return IDS_VERB_PROPERTIES; }
DWORD CWyFTPCtrl::GetMiscStatusBits() const { return kMiscStatus; }

std::vector<CLSID> CWyFTPCtrl::GetPropertyPageIds() const
{
    return {CLSID_WyFTPPropPage, CLSID_WyFTPConnectionPage, kStockFontPage};
}

// Events

void CWyFTPCtrl::FireStringEvent(DISPID id, const std::string& text)
{
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = BstrFromShiftJis(text);
    FireEvent(id, &argument, 1);
    VariantClear(&argument);
}

void CWyFTPCtrl::FireTransferProgress(LONG bytes)
{
    VARIANT argument;
    argument.vt = VT_I4;
    argument.lVal = bytes;
    FireEvent(kTransferProgressEvent, &argument, 1);
}

void CWyFTPCtrl::FireConnected() { FireEvent(kConnectedEvent); }
void CWyFTPCtrl::FireDisConnected() { FireEvent(kDisConnectedEvent); }
void CWyFTPCtrl::FireTreePopUp(const std::string& name) { FireStringEvent(kTreePopUpEvent, name); }
void CWyFTPCtrl::FireListPopUp(const std::string& name) { FireStringEvent(kListPopUpEvent, name); }
void CWyFTPCtrl::FireTransferStart(const std::string& name) { FireStringEvent(kTransferStartEvent, name); }
void CWyFTPCtrl::FireTransferEnd() { FireEvent(kTransferEndEvent); }

void CWyFTPCtrl::Reconnecting(int attempt, const FtpError& reason)
{
    VARIANT args[2];
    args[0].vt = VT_I4;
    args[0].lVal = attempt;
    args[1].vt = VT_I4;
    args[1].lVal = reason == FtpErrorCode::sizeMismatch ? static_cast<long>(WyFTPErrorTransferSizeMismatch)
                                                         : static_cast<long>(InternetErrorNumber(reason.code));
    FireEvent(kReconnectingEvent, args, 2);
}

void CWyFTPCtrl::ProtocolTrace(const std::string& line)
{
    if (Number(L"EnableProtocolTrace") != FALSE)
        FireStringEvent(kProtocolTraceEvent, line);
    const std::string& path = Text(L"TraceFile");
    if (!path.empty())
        AppendTraceLine(path, line);
}

void CWyFTPCtrl::CertificateMet(const CServerCertificate& certificate)
{
    m_strLastFingerprint = certificate.Fingerprint();
}

bool CWyFTPCtrl::AcceptCertificate(const CServerCertificate& certificate, CertificateProblem problem)
{
    m_strLastFingerprint = certificate.Fingerprint();
    const auto date = [](const FILETIME& time) { return COleDateTime(time).m_dt; };
    VARIANT_BOOL accept = problem == CertificateProblem::none ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT args[7];
    args[0].vt = VT_BSTR;
    args[0].bstrVal = BstrFromShiftJis(m_strLastFingerprint);
    args[1].vt = VT_BSTR;
    args[1].bstrVal = BstrFromShiftJis(certificate.Subject());
    args[2].vt = VT_BSTR;
    args[2].bstrVal = BstrFromShiftJis(certificate.Issuer());
    args[3].vt = VT_DATE;
    args[3].date = date(certificate.NotBefore());
    args[4].vt = VT_DATE;
    args[4].date = date(certificate.NotAfter());
    args[5].vt = VT_I4;
    args[5].lVal = static_cast<long>(problem);
    args[6].vt = VT_BOOL | VT_BYREF;
    args[6].pboolVal = &accept;
    FireEvent(kServerCertificateEvent, args, 7);
    for (int index = 0; index < 3; ++index)
        VariantClear(&args[index]);
    return accept != VARIANT_FALSE;
}

void CWyFTPCtrl::AnswerSentMessages()
{
    // Only messages sent from other threads (an accessibility tool, a
    // worker of the host): no input, no posted message, no painting.
    // Whatever they call on this control finds it busy.
    const BOOL busy = m_bTransferring;
    m_bTransferring = TRUE;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    m_bTransferring = busy;
}

std::unique_ptr<CWyProgressDisplay> CWyFTPCtrl::CreateProgressDisplay(CWyFileSystem& fileSystem)
{
    return std::make_unique<CWyTransferProgressDlg>(&fileSystem);
}

void CWyFTPCtrl::FireChangeCurrentDirectory(const char* directory)
{
    FireStringEvent(kChangeCurrentDirectoryEvent, directory ? directory : "");
}
