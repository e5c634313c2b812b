// The control in a real container (ATL's host window), its About box and its property page.
#include "tests/control/ComTestSupport.h"
#include "tests/control/PropertyTableSupport.h"
#include "tests/control/WindowTestSupport.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(Container, ControlActivatesInPlaceInAtlHostAndFollowsItsSize)
{
    TestWindow frame(500, 400);
    HWND host = nullptr;
    ComPtr<IDispatch> control = ControlInAtlHost(frame.Get(), {0, 0, 320, 240}, &host);
    ASSERT_TRUE(control) << "the platform's ATL host (atl.dll) did not take the control";
    EXPECT_EQ("anonymous", Get(control.Get(), L"UserName").AsText());

    auto window = control.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    ASSERT_TRUE(window);
    HWND controlWindow = nullptr;
    ASSERT_EQ(S_OK, window->GetWindow(&controlWindow));
    ASSERT_TRUE(IsWindow(controlWindow));
    EXPECT_TRUE(IsChild(host, controlWindow) || GetParent(controlWindow) == host);
    EXPECT_TRUE(IsWindowVisible(controlWindow));
    EXPECT_EQ(320, ClientSize(controlWindow).cx);
    EXPECT_EQ(240, ClientSize(controlWindow).cy);

    MoveWindow(host, 0, 0, 450, 300, TRUE);
    PumpMessages();
    EXPECT_EQ(450, ClientSize(controlWindow).cx);
    EXPECT_EQ(300, ClientSize(controlWindow).cy);

    // Hidden and shown again by verbs, as containers toggle visibility.
    auto object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, host, nullptr));
    EXPECT_FALSE(IsWindowVisible(controlWindow));
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, host, nullptr));
    EXPECT_TRUE(IsWindowVisible(controlWindow));
    DestroyWindow(host);
    PumpMessages();
}

// A label's text in the font the dialog gave it is no wider than the label:
// a wider one is cut off on screen.
void ExpectLabelFits(HWND label)
{
    wchar_t className[16] = L"";
    GetClassNameW(label, className, 16);
    if (lstrcmpiW(className, L"Static") != 0)
        return;
    wchar_t text[256] = L"";
    GetWindowTextW(label, text, 256);
    RECT client;
    GetClientRect(label, &client);
    const HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    EXPECT_LE(needed.right, client.right) << "the label \"" << ShiftJisFromBstr(CBstr(text).Get())
                                          << "\" needs " << needed.right << " pixels";
}

// Checks the About box (its icon, its labels wide enough) from inside its
// modal loop, then presses OK.
bool g_aboutChecked = false;
bool g_aboutHasIcon = false;

void CALLBACK InspectAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindThreadWindow(L"#32770", nullptr);
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    g_aboutChecked = true;
    HICON expected = LoadIconW(GetModuleHandleW(L"WyFTP.ocx"), MAKEINTRESOURCEW(IDI_ABOUTDLL));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            g_aboutHasIcon = expected && SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else
            ExpectLabelFits(child);
    }
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

TEST(AboutBox, ShowsDialogOneWithItsIconAndClosesWithOk)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    g_aboutChecked = false;
    g_aboutHasIcon = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &InspectAboutBox);
    EXPECT_EQ(S_OK, CallId(control.Get(), DISPID_ABOUTBOX, {}, DISPATCH_METHOD).hr);
    KillTimer(nullptr, timer);  // in case no dialog came to stop it
    EXPECT_TRUE(g_aboutChecked) << "no dialog appeared";
    EXPECT_TRUE(g_aboutHasIcon) << "no icon 245 on the dialog";
}

// A minimal page site, as a property frame offers one.
class PageSite : public StackComObject<IPropertyPageSite, IID_IPropertyPageSite> {
public:
    STDMETHODIMP OnStatusChange(DWORD flags) override
    {
        lastStatus = flags;
        return S_OK;
    }
    STDMETHODIMP GetLocaleID(LCID* locale) override
    {
        *locale = 0x0411;
        return S_OK;
    }
    STDMETHODIMP GetPageContainer(IUnknown** container) override
    {
        *container = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

    DWORD lastStatus = 0;
};

std::string Text(HWND dialog, int id)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return ShiftJisFromBstr(CBstr(text).Get());
}

// The page shows every property the table puts on it, at its default, and
// holds no other control of its own; its labels are wide enough.
void ExpectPageShowsItsPropertiesDefaults(HWND dialog, UINT page)
{
    std::set<int> shown;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        const WyFTPPageControl& control = property.control;
        if (control.kind == WyFTPPageControl::None || control.page != page)
            continue;
        SCOPED_TRACE(NameOf(property));
        const int id = control.controlId;
        ASSERT_NE(nullptr, GetDlgItem(dialog, id)) << "no control " << id << " on the dialog";
        shown.insert(id);
        switch (control.kind) {
        case WyFTPPageControl::CheckBox:
            EXPECT_EQ(property.value.defaultNumber ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(dialog, id));
            break;
        case WyFTPPageControl::ListIndex:
            EXPECT_EQ(property.value.defaultNumber, SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
            EXPECT_EQ(static_cast<LRESULT>(control.itemCount), SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
            break;
        default:
            EXPECT_EQ(DefaultOf(property).AsText(), Text(dialog, id));
        }
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        EXPECT_TRUE(id == IDC_STATIC || shown.count(id)) << "control " << id << " shows no property";
        ExpectLabelFits(child);
    }
}

class PropertyPage : public testing::Test {
protected:
    void SetUp() override
    {
        control = CreateControl();
        ASSERT_TRUE(control);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_WyFTPPropPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                         reinterpret_cast<void**>(page.Put())));
        ASSERT_EQ(S_OK, page->SetPageSite(&site));
        IUnknown* objects[] = {control.Get()};
        ASSERT_EQ(S_OK, page->SetObjects(1, objects));
        const RECT position = {0, 0, 420, 380};
        ASSERT_EQ(S_OK, page->Activate(frame.Get(), &position, FALSE));
        dialog = FindWindowExW(frame.Get(), nullptr, L"#32770", nullptr);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override
    {
        if (page) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
        }
    }

    TestWindow frame{500, 450};
    ComPtr<IDispatch> control;
    ComPtr<IPropertyPage> page;
    PageSite site;
    HWND dialog = nullptr;
};

TEST_F(PropertyPage, ShowsTheDefaultsOfANewControl)
{
    ExpectPageShowsItsPropertiesDefaults(dialog, IDD_PROPPAGE_WYFTP);
    EXPECT_EQ(ES_PASSWORD, GetWindowLongW(GetDlgItem(dialog, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(S_FALSE, page->IsPageDirty());

    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"General", info.pszTitle);
    EXPECT_STREQ(L"WyFTP.HLP", info.pszHelpFile);
    EXPECT_STREQ(L"Names to appear in the control", info.pszDocString);
    EXPECT_GT(info.size.cx, 100);
    EXPECT_GT(info.size.cy, 100);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
}

TEST_F(PropertyPage, AppliesEditsThroughTheControlsSetters)
{
    SetDlgItemTextW(dialog, IDC_SERVER_NAME, L"ftp://ftp.example.jp/");
    SetDlgItemTextW(dialog, IDC_TRANSFER_BYTE, L"0");
    SetDlgItemTextW(dialog, IDC_TREE_VIEW_WIDTH, L"180");
    SetDlgItemTextW(dialog, IDC_USER_NAME, L"\u30E6\u30FC\u30B6");
    SendDlgItemMessageW(dialog, IDC_VISIBLE_TREE, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog, IDC_LIST_VIEW_MODE, CB_SETCURSEL, 3, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_VIEW_MODE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LIST_VIEW_MODE)));
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_EQ(static_cast<DWORD>(PROPPAGESTATUS_DIRTY), site.lastStatus);

    ASSERT_EQ(S_OK, page->Apply());
    EXPECT_EQ("ftp.example.jp", Get(control.Get(), L"ServerName").AsText());
    EXPECT_EQ(1024, Get(control.Get(), L"TransferByte").AsLong());  // 0 is refused by the setter
    EXPECT_EQ(180, Get(control.Get(), L"TreeViewWidth").AsLong());
    EXPECT_EQ("ユーザ", Get(control.Get(), L"UserName").AsText());
    EXPECT_FALSE(Get(control.Get(), L"VisibleTree").AsBool());
    EXPECT_EQ(3, Get(control.Get(), L"ListViewMode").AsLong());
    // Untouched controls wrote nothing.
    EXPECT_EQ(100, Get(control.Get(), L"ShowProgressDialog").AsLong());
    // The page shows what the control really stored.
    EXPECT_EQ("ftp.example.jp", Text(dialog, IDC_SERVER_NAME));
    EXPECT_EQ("1024", Text(dialog, IDC_TRANSFER_BYTE));
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST(PropertyPages, ControlListsItsOwnPagesThenTheStockFontPage)
{
    ComPtr<IDispatch> control = CreateControl();
    auto pages = control.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    ASSERT_TRUE(pages);
    CAUUID ids = {};
    ASSERT_EQ(S_OK, pages->GetPages(&ids));
    ASSERT_EQ(3u, ids.cElems);
    EXPECT_EQ(CLSID_WyFTPPropPage, ids.pElems[0]);
    EXPECT_EQ(CLSID_WyFTPConnectionPage, ids.pElems[1]);
    const CLSID stockFont = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    EXPECT_EQ(stockFont, ids.pElems[2]);
    CoTaskMemFree(ids.pElems);
}

TEST(PropertyPages, TheConnectionPageShowsAndAppliesTheConnectionProperties)
{
    ComPtr<IDispatch> control = CreateControl();
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_WyFTPConnectionPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(page.Put())));
    PageSite site;
    ASSERT_EQ(S_OK, page->SetPageSite(&site));
    IUnknown* objects[] = {control.Get()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    TestWindow frame(500, 450);
    const RECT position = {0, 0, 420, 380};
    ASSERT_EQ(S_OK, page->Activate(frame.Get(), &position, FALSE));
    const HWND dialog = FindWindowExW(frame.Get(), nullptr, L"#32770", nullptr);
    ASSERT_NE(nullptr, dialog);
    ExpectPageShowsItsPropertiesDefaults(dialog, IDD_PROPPAGE_CONNECTION);
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"Connection", info.pszTitle);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);

    SendDlgItemMessageW(dialog, IDC_PASSIVE_MODE, BM_CLICK, 0, 0);
    SetDlgItemTextW(dialog, IDC_PORT, L"2121");
    SetDlgItemTextW(dialog, IDC_TIMEOUT, L"5");
    SendDlgItemMessageW(dialog, IDC_SERVER_ENCODING, CB_SETCURSEL, 2, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SERVER_ENCODING, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SERVER_ENCODING)));
    ASSERT_EQ(S_OK, page->Apply());
    EXPECT_TRUE(Get(control.Get(), L"PassiveMode").AsBool());
    EXPECT_EQ(2121, Get(control.Get(), L"Port").AsLong());
    EXPECT_EQ(5, Get(control.Get(), L"Timeout").AsLong());
    EXPECT_EQ(2, Get(control.Get(), L"ServerEncoding").AsLong());
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
}

}  // namespace

namespace {

BOOL CALLBACK MatchServerNameEdit(HWND child, LPARAM found)
{
    wchar_t className[16] = L"";
    GetClassNameW(child, className, 16);
    if (GetDlgCtrlID(child) != IDC_SERVER_NAME || lstrcmpiW(className, L"Edit") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = GetParent(child);
    return FALSE;
}

// The control's page inside a property frame: the window holding its server name edit, or null.
HWND FindControlsPage(HWND frame)
{
    HWND page = nullptr;
    EnumChildWindows(frame, &MatchServerNameEdit, reinterpret_cast<LPARAM>(&page));
    return page;
}

// Inspects the property frame from inside its modal loop, then closes it.
bool g_frameSeen = false;
bool g_frameHasOurPage = false;
std::wstring g_frameTitle;

void CALLBACK InspectPropertyFrame(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND frame = FindThreadWindow(L"#32770", nullptr);
    if (!frame)
        return;
    KillTimer(nullptr, timer);
    g_frameSeen = true;
    g_frameHasOurPage = FindControlsPage(frame) != nullptr;
    wchar_t title[128] = L"";
    GetWindowTextW(frame, title, 128);
    g_frameTitle = title;
    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

TEST(Verbs, ThePropertiesVerbIsListedAndShowsTheControlsPage)
{
    ComPtr<IDispatch> control = CreateControl();
    auto object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(S_OK, object->EnumVerbs(verbs.Put()));
    OLEVERB verb = {};
    ULONG fetched = 0;
    ASSERT_EQ(S_OK, verbs->Next(1, &verb, &fetched));
    EXPECT_EQ(OLEIVERB_PROPERTIES, verb.lVerb);
    EXPECT_EQ("プロパティ(&R)...", ShiftJisFromBstr(CBstr(verb.lpszVerbName).Get()));
    CoTaskMemFree(verb.lpszVerbName);
    EXPECT_EQ(S_FALSE, verbs->Next(1, &verb, &fetched));
    EXPECT_EQ(0u, fetched);

    TestWindow owner(200, 100);
    g_frameSeen = false;
    g_frameHasOurPage = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &InspectPropertyFrame);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, owner.Get(), nullptr));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_frameSeen) << "no property frame appeared";
    EXPECT_TRUE(g_frameHasOurPage) << "the frame does not show the control's page";
    // The title names the control, not a format string ("%sのプロパティ").
    EXPECT_EQ(0u, g_frameTitle.find(L"WyFTP Control")) << ToShiftJis(g_frameTitle);
}

// Where the control's page and its controls sit in a property frame, in
// screen coordinates, read from inside the frame's modal loop.
struct PageLayout {
    bool seen = false;
    RECT area = {};  // the client area of the window the frame put the page in
    RECT page = {};
    std::vector<std::pair<int, RECT>> controls;
};
PageLayout g_layout;

RECT ScreenClientRect(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
           && inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& rect)
{
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) + ","
           + std::to_string(rect.bottom) + ")";
}

void CALLBACK MeasurePageInFrame(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND frame = FindThreadWindow(L"#32770", nullptr);
    if (!frame)
        return;
    KillTimer(nullptr, timer);
    if (HWND page = FindControlsPage(frame)) {
        g_layout.seen = true;
        g_layout.area = ScreenClientRect(GetParent(page));
        GetWindowRect(page, &g_layout.page);
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect;
            GetWindowRect(child, &rect);
            g_layout.controls.emplace_back(GetDlgCtrlID(child), rect);
        }
    }
    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

TEST(Verbs, ThePropertiesFrameShowsTheWholePageInsideItsPageArea)
{
    ComPtr<IDispatch> control = CreateControl();
    auto object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    TestWindow owner(200, 100);
    g_layout = PageLayout();
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &MeasurePageInFrame);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, owner.Get(), nullptr));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_layout.seen) << "no frame with the control's page appeared";

    // Wine's frame activates a page with the size of its first, unfitted
    // container and then fits the container to the tab without a Move.
    EXPECT_TRUE(Contains(g_layout.area, g_layout.page))
        << "page " << Describe(g_layout.page) << " outside the frame's page area " << Describe(g_layout.area);
    for (const auto& [id, rect] : g_layout.controls) {
        EXPECT_TRUE(Contains(g_layout.page, rect))
            << "control " << id << " at " << Describe(rect) << " runs out of the page " << Describe(g_layout.page);
    }
}

// The dialogs a user sees, captured from the screen against a full repaint
// after each thing a user does in them, from inside their modal loops.
constexpr size_t kCaretPixels = 40;
std::vector<std::pair<std::string, size_t>> g_stale;

void CALLBACK CaptureAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindThreadWindow(L"#32770", nullptr);
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    g_stale.emplace_back("the About box", StalePixels(dialog));
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

void CALLBACK TabAndTypeInPropertyFrame(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND frame = FindThreadWindow(L"#32770", nullptr);
    HWND page = frame ? FindControlsPage(frame) : nullptr;
    if (!page)
        return;
    KillTimer(nullptr, timer);
    g_stale.emplace_back("the frame as it opens", StalePixels(frame));
    const HWND tabs = FindDescendant(frame, WC_TABCONTROLW);
    const int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
    for (int tab = count - 1; tab >= 0; --tab) {
        RECT rect = {};
        SendMessageW(tabs, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&rect));
        POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(tabs, &middle);
        ClickAt(middle);
        SettlePainting(frame);
        const std::string what = "tab " + std::to_string(tab);
        g_stale.emplace_back(what + (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == tab ? "" : " (not chosen)"),
                             StalePixels(frame));
    }
    const HWND edit = GetDlgItem(page, IDC_SERVER_NAME);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    TypeText(L"ftp.example.jp");
    SettlePainting(frame);
    wchar_t typed[64] = L"";
    GetWindowTextW(edit, typed, 64);
    g_stale.emplace_back(std::string("typing a server name") + (lstrcmpW(typed, L"ftp.example.jp") ? " (not typed)" : ""),
                         StalePixels(frame));
    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

TEST(Screen, TheAboutBoxAndThePropertyFrameShowWhatAFullRepaintDraws)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    g_stale.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, &CaptureAboutBox);
    EXPECT_EQ(S_OK, CallId(control.Get(), DISPID_ABOUTBOX, {}, DISPATCH_METHOD).hr);
    KillTimer(nullptr, timer);

    auto object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    TestWindow owner(200, 100);
    timer = SetTimer(nullptr, 0, 100, &TabAndTypeInPropertyFrame);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, owner.Get(), nullptr));
    KillTimer(nullptr, timer);

    // The About box, the frame, one capture per tab (the control's two
    // pages; Wine has no stock font page to show) and the typing.
    ASSERT_LE(5u, g_stale.size());
    for (const auto& [what, stale] : g_stale) {
        EXPECT_EQ(std::string::npos, what.find("(not")) << what;
        EXPECT_GE(kCaretPixels, stale) << what;
    }
}

// A document container's site: counts the saves the control asks for.
class SavingSite : public StackComObject<IOleClientSite, IID_IOleClientSite> {
public:
    STDMETHODIMP SaveObject() override
    {
        ++saves;
        return S_OK;
    }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    int saves = 0;
};

TEST(OleObject, CloseOffersAChangedControlForSavingAndEnumAdviseAnswers)
{
    ComPtr<IDispatch> control = CreateControl();
    auto object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    SavingSite site;
    ASSERT_EQ(S_OK, object->SetClientSite(&site));
    EXPECT_EQ(S_OK, object->Close(OLECLOSE_SAVEIFDIRTY));
    EXPECT_EQ(0, site.saves);  // nothing changed
    Put(control.Get(), L"TransferByte", 8);
    EXPECT_EQ(S_OK, object->Close(OLECLOSE_NOSAVE));
    EXPECT_EQ(0, site.saves);
    EXPECT_EQ(S_OK, object->Close(OLECLOSE_SAVEIFDIRTY));
    EXPECT_EQ(1, site.saves);

    // No advise yet: an empty list, not a success without one.
    ComPtr<IEnumSTATDATA> advises;
    ASSERT_EQ(S_OK, object->EnumAdvise(advises.Put()));
    ASSERT_TRUE(advises);
    STATDATA data = {};
    EXPECT_EQ(S_FALSE, advises->Next(1, &data, nullptr));
    advises.Reset();
    ASSERT_EQ(S_OK, object->SetClientSite(nullptr));
}

}  // namespace
