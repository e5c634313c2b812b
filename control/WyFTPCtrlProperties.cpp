// The control's custom properties as the property table describes them: dispatch, setters, persistence, browsing.
#include "control/WyFTPCtrl.h"

#include "control/WyFTPIds.h"
#include "explorer/WyExplorerWnd.h"
#include "filesystem/WyFTPUrl.h"
#include "framework/ShiftJis.h"

#include <algorithm>
#include <cwchar>

namespace {

using Kind = WyFTPPropertyKind;

// The text property browsers show for the values of enumerated properties.
struct PredefinedValue {
    const wchar_t* property;
    DWORD value;
    const char* text;
};

constexpr PredefinedValue kPredefinedValues[] = {
    {L"ConnectTarget", 0, "0 - WyConnectTargetLocal"},
    {L"ConnectTarget", 1, "1 - WyConnectTargetFTP"},
    {L"ConnectTarget", 2, "2 - WyConnectTargetSFTP"},
    {L"ListViewMode", 0, "0 - WyFTPListViewModeIcon"},
    {L"ListViewMode", 1, "1 - WyFTPListViewModeReport"},
    {L"ListViewMode", 2, "2 - WyFTPListViewModeSmallIcon"},
    {L"ListViewMode", 3, "3 - WyFTPListViewModeList"},
};

bool IsPredefinedFor(const PredefinedValue& entry, const WyFTPProperty* property)
{
    return property && std::wcscmp(entry.property, property->name) == 0;
}

const WyFTPProperty& Row(const wchar_t* name)
{
    return *WyFTPProperties().Find(name);
}

const WyFTPProperty& RowOf(const DispatchCall& call)
{
    return *static_cast<const WyFTPProperty*>(call.member->data);
}

// The value of a put, already coerced to the property's automation type.
WyFTPPropertyValue ValueFromVariant(const WyFTPProperty& property, const VARIANT& value)
{
    WyFTPPropertyValue result;
    switch (property.value.type) {
    case Kind::Flag:
        result.number = AutomationType<bool>::From(value) ? TRUE : FALSE;
        break;
    case Kind::Number:
        result.number = AutomationType<long>::From(value);
        break;
    case Kind::ShortNumber:
        result.number = AutomationType<short>::From(value);
        break;
    case Kind::Text:
        result.text = AutomationType<std::string>::From(value);
        break;
    }
    return result;
}

}  // namespace

// Values

long CWyFTPCtrl::Number(const wchar_t* name) const
{
    return ValueOf(Row(name)).number;
}

const std::string& CWyFTPCtrl::Text(const wchar_t* name) const
{
    return ValueOf(Row(name)).text;
}

WyFTPPropertyValue& CWyFTPCtrl::ValueOf(const WyFTPProperty& property)
{
    return m_properties[WyFTPProperties().IndexOf(property)];
}

const WyFTPPropertyValue& CWyFTPCtrl::ValueOf(const WyFTPProperty& property) const
{
    return m_properties[WyFTPProperties().IndexOf(property)];
}

// Dispatch: one pair of handlers for every property of the table, which
// find their row in the member called.

std::vector<DispatchMember> CWyFTPCtrl::PropertyDispatchMembers()
{
    std::vector<DispatchMember> members;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        const VARTYPE type = property.AutomationType();
        members.push_back({property.id, property.name, DispatchMember::Property, type, 0, 0, {}, &InvokePropertyGet,
                           &InvokePropertyPut, type, &property});
    }
    return members;
}

void CWyFTPCtrl::InvokePropertyGet(CCmdTarget& target, DispatchCall& call)
{
    const WyFTPProperty& property = RowOf(call);
    const WyFTPPropertyValue& value = static_cast<CWyFTPCtrl&>(target).ValueOf(property);
    switch (property.value.type) {
    case Kind::Flag:
        AutomationType<bool>::To(*call.result, value.number != FALSE);
        break;
    case Kind::Number:
        AutomationType<long>::To(*call.result, value.number);
        break;
    case Kind::ShortNumber:
        AutomationType<short>::To(*call.result, static_cast<short>(value.number));
        break;
    case Kind::Text:
        AutomationType<std::string>::To(*call.result, value.text);
        break;
    }
}

void CWyFTPCtrl::InvokePropertyPut(CCmdTarget& target, DispatchCall& call)
{
    const WyFTPProperty& property = RowOf(call);
    static_cast<CWyFTPCtrl&>(target).PutProperty(property, ValueFromVariant(property, call.args[0]));
}

CFtpOptions CWyFTPCtrl::GetConnectionOptions()
{
    // Every value but the port passed the setters' checks on its way in;
    // a port no server can have becomes 0, which no connection accepts.
    const long port = Number(L"Port");
    CFtpOptions options;
    options.protocol = GetConnectTargetValue() == WyFTPConnectTargetSFTP ? CFtpOptions::sftp : CFtpOptions::ftp;
    options.port = port >= 1 && port <= 65535 ? static_cast<WORD>(port) : 0;
    // Port's default is FTP's: for SFTP it means SSH's own.
    if (options.protocol == CFtpOptions::sftp && options.port == kFtpPort)
        options.port = kSshPort;
    options.passive = Number(L"PassiveMode") != FALSE;
    options.timeoutMilliseconds = static_cast<DWORD>(Number(L"Timeout")) * 1000;
    options.encoding = static_cast<CFtpOptions::Encoding>(Number(L"ServerEncoding"));
    options.security = static_cast<CFtpOptions::Security>(Number(L"SecurityMode"));
    options.certificatePin = Text(L"CertificatePin");
    options.privateKeyFile = Text(L"PrivateKeyFile");
    options.reconnectMilliseconds = static_cast<DWORD>(Number(L"ReconnectTime")) * 1000;
    options.keepAliveMilliseconds = static_cast<DWORD>(Number(L"KeepAliveInterval")) * 1000;
    options.judge = this;
    options.watcher = this;
    return options;
}

std::string CWyFTPCtrl::GetStartDirectory() const
{
    const std::string directory = Text(L"ConnectDirectory");
    return directory.empty() ? "/" : directory;
}

// Setters: they never raise. A value the check refuses is ignored, an
// unchanged value does nothing, a stored change is announced and marks the
// control modified. Setters with rules of their own are named in the table.

void CWyFTPCtrl::PutProperty(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    if (property.setter)
        (this->*property.setter)(property, value);
    else if (StoreProperty(property, value))
        PropertyChanged(property.id);
}

bool CWyFTPCtrl::StoreProperty(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    WyFTPPropertyValue& stored = ValueOf(property);
    if (property.value.type == Kind::Text) {
        if (value.text == stored.text)
            return false;
        stored.text = value.text;
        return true;
    }
    // Flags arrive as TRUE or FALSE.
    if (!property.Accepts(value.number) || value.number == stored.number)
        return false;
    stored.number = value.number;
    return true;
}

void CWyFTPCtrl::PropertyChanged(DISPID id)
{
    BoundPropertyChanged(id);
    SetModifiedFlag();
}

void CWyFTPCtrl::PutAnnouncingEveryWrite(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    // EnableProgressDialog: a plain member whose every write is announced.
    StoreProperty(property, value);
    PropertyChanged(property.id);
}

void CWyFTPCtrl::PutServerName(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    // "ftp://host/" is stored as the bare host name; a host followed by a
    // directory loses only its final slash.
    WyFTPPropertyValue normalized = value;
    std::string& name = normalized.text;
    name.erase(0, FtpSchemeLength(name));
    if (ShiftJis::EndsWithChar(name, '/'))
        name.pop_back();
    if (StoreProperty(property, normalized))
        PropertyChanged(property.id);
}

void CWyFTPCtrl::PutCertificatePin(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    // Stored as 64 upper-case hex digits; anything that is no SHA-256
    // fingerprint is ignored, as every setter ignores what it refuses.
    WyFTPPropertyValue normalized;
    if (NormalizeFingerprint(value.text, normalized.text) && StoreProperty(property, normalized))
        PropertyChanged(property.id);
}

// The explorer's look does not change while a transfer runs.

void CWyFTPCtrl::PutVisibleTree(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    if (IsTransferring() || !StoreProperty(property, value))
        return;
    if (CWyExplorerWnd* explorer = ExistingExplorer()) {
        const BOOL visible = ValueOf(property).number;
        explorer->ShowTree(visible);
        if (visible) {
            AttachTreeImages();
            ApplyBackColor(TranslateColor(GetBackColor()));
            ApplyForeColor(TranslateColor(GetForeColor()));
            if (m_pFileSystem)
                explorer->InitTreeForPath(m_strCurrentDirectory);
        }
    }
    PropertyChanged(property.id);
}

void CWyFTPCtrl::PutListViewMode(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    // Stored unchecked: an unknown mode shows icons.
    if (IsTransferring() || !StoreProperty(property, value))
        return;
    if (CWyExplorerWnd* explorer = ExistingExplorer())
        explorer->SetListViewMode(ValueOf(property).number);
    PropertyChanged(property.id);
}

void CWyFTPCtrl::PutTreeViewWidth(const WyFTPProperty& property, const WyFTPPropertyValue& value)
{
    if (IsTransferring() || !StoreProperty(property, value))
        return;
    if (CWyExplorerWnd* explorer = ExistingExplorer())
        explorer->SetBarPos(static_cast<int>(ValueOf(property).number));
    PropertyChanged(property.id);
}

// The file stores set these from Connect's arguments, through the same setters.

void CWyFTPCtrl::SetServerNameProperty(const std::string& serverName)
{
    PutProperty(Row(L"ServerName"), {0, serverName});
}

void CWyFTPCtrl::SetUserNameProperty(const std::string& userName)
{
    PutProperty(Row(L"UserName"), {0, userName});
}

void CWyFTPCtrl::SetPasswordProperty(const std::string& password)
{
    PutProperty(Row(L"Password"), {0, password});
}

// Persistence: the stock properties come first (the base class), then the
// table's first layout, the views' colours, and the table's extension blocks
// in the order of their minor versions.

void CWyFTPCtrl::DoPropExchange(CPropExchange& exchange)
{
    WORD lastBlock = 0;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        if (property.block == 0)
            ExchangeProperty(exchange, property);
        lastBlock = std::max(lastBlock, property.block);
    }
    exchange.ExchangeColor(L"Forecolor", m_clrFore, 0x80000008);
    exchange.ExchangeColor(L"Backcolor", m_clrBack, 0x80000005);
    for (WORD block = 1; block <= lastBlock; ++block) {
        exchange.BeginExtension(block);
        for (const WyFTPProperty& property : WyFTPProperties()) {
            if (property.block == block)
                ExchangeProperty(exchange, property);
        }
        exchange.EndExtension();
    }
    if (exchange.IsLoading())
        DefaultRefusedLoadedValues();
}

void CWyFTPCtrl::ExchangeProperty(CPropExchange& exchange, const WyFTPProperty& property)
{
    WyFTPPropertyValue& value = ValueOf(property);
    switch (property.value.type) {
    case Kind::Flag: {
        BOOL flag = static_cast<BOOL>(value.number);
        exchange.ExchangeBool(property.name, flag, static_cast<BOOL>(property.value.defaultNumber));
        value.number = flag;
        break;
    }
    case Kind::Number:
    case Kind::ShortNumber:
        exchange.ExchangeLong(property.name, value.number, property.value.defaultNumber);
        break;
    case Kind::Text:
        exchange.ExchangeString(property.name, value.text, property.value.defaultText);
        break;
    }
}

void CWyFTPCtrl::DefaultRefusedLoadedValues()
{
    // Properties without a check (ConnectTarget, ListViewMode, Port) are
    // stored unchecked by their setters too: an unknown value makes Connect
    // fail or shows icons.
    for (const WyFTPProperty& property : WyFTPProperties()) {
        long& value = ValueOf(property).number;
        if (!property.Accepts(value))
            value = property.value.defaultNumber;
    }
    // A loaded pin is checked as its setter checks it.
    std::string& pin = ValueOf(Row(L"CertificatePin")).text;
    if (!NormalizeFingerprint(pin, pin))
        pin.clear();
}

void CWyFTPCtrl::OnPropertiesLoaded()
{
    ApplyViewProperties();
    if (HWND window = GetHwnd())
        InvalidateRect(window, nullptr, TRUE);
}

// Property browsers

bool CWyFTPCtrl::OnGetDisplayString(DISPID id, std::string& text)
{
    const WyFTPProperty* property = WyFTPProperties().Find(id);
    bool predefined = false;
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (!IsPredefinedFor(entry, property))
            continue;
        predefined = true;
        if (static_cast<long>(entry.value) == ValueOf(*property).number)
            text = entry.text;
    }
    return predefined;
}

bool CWyFTPCtrl::OnGetPredefinedStrings(DISPID id, std::vector<std::pair<std::string, DWORD>>& strings)
{
    const WyFTPProperty* property = WyFTPProperties().Find(id);
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (IsPredefinedFor(entry, property))
            strings.emplace_back(entry.text, entry.value);
    }
    return !strings.empty();
}

bool CWyFTPCtrl::OnGetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value)
{
    const WyFTPProperty* property = WyFTPProperties().Find(id);
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (IsPredefinedFor(entry, property) && entry.value == cookie) {
            value->vt = VT_I4;
            value->lVal = static_cast<LONG>(cookie);
            return true;
        }
    }
    return false;
}
