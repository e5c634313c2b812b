// The control in a real container (ATL's host window), its About box, its property pages and frame, its client site.
#include "tests/control/ComTestSupport.h"
#include "tests/control/WindowTestSupport.h"

#include "control/WyFTPIds.h"
#include "control/WyFTPProperty.h"
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

// How the window follows the host's size is shown by the explorer's tests.
TEST(Container, TheControlsWindowIsTheHostsChildAndVerbsHideAndShowIt)
{
    TestWindow frame(500, 400);
    HWND host = nullptr;
    ComPtr<IDispatch> control = ControlInAtlHost(frame.Get(), {0, 0, 320, 240}, &host);
    ASSERT_TRUE(control) << "the platform's ATL host (atl.dll) did not take the control";
    HWND window = nullptr;
    ASSERT_EQ(S_OK, control.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->GetWindow(&window));
    EXPECT_TRUE(IsChild(host, window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(320, ClientSize(window).cx);
    EXPECT_EQ(240, ClientSize(window).cy);
    auto object = control.As<IOleObject>(IID_IOleObject);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, host, nullptr));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, host, nullptr));
    EXPECT_TRUE(IsWindowVisible(window));
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
    EXPECT_LE(needed.right, client.right) << "the label \"" << ToShiftJis(text) << "\" needs " << needed.right
                                          << " pixels";
}

// The dialogs a user sees are captured from the screen against a full
// repaint after each thing a user does in them, from inside their modal
// loops; a blinking caret may differ.
constexpr size_t kCaretPixels = 40;
std::vector<std::pair<std::string, size_t>> g_stale;

// Checks the About box from inside its modal loop (its icon, its labels
// wide enough, its screen), then presses OK.
bool g_aboutHasIcon = false;

void CALLBACK InspectAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindThreadWindow(L"#32770", nullptr);
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    HICON expected = LoadIconW(GetModuleHandleW(L"WyFTP.ocx"), MAKEINTRESOURCEW(IDI_ABOUTDLL));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            g_aboutHasIcon = expected && SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else
            ExpectLabelFits(child);
    }
    g_stale.emplace_back("the About box", StalePixels(dialog));
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

TEST(AboutBox, ShowsDialogOneWithItsIconAndClosesWithOk)
{
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    g_stale.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &InspectAboutBox);
    EXPECT_EQ(S_OK, CallId(control.Get(), DISPID_ABOUTBOX, {}, DISPATCH_METHOD).hr);
    KillTimer(nullptr, timer);  // in case no dialog came to stop it
    ASSERT_EQ(1u, g_stale.size()) << "no dialog appeared";
    EXPECT_TRUE(g_aboutHasIcon) << "no icon 245 on the dialog";
    EXPECT_GE(kCaretPixels, g_stale[0].second);
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
    STDMETHODIMP GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

    DWORD lastStatus = 0;
};

std::string Text(HWND dialog, int id)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return ToShiftJis(text);
}

// The page shows each property the table puts on it, as the control holds
// it, and no other control of its own; its labels are wide enough.
void ExpectPageShowsTheControlsValues(HWND dialog, UINT page, IDispatch* control)
{
    std::set<int> shown;
    for (const WyFTPProperty& property : WyFTPProperties()) {
        const int id = property.control.controlId;
        if (property.control.kind == WyFTPPageControl::None || property.control.page != page)
            continue;
        SCOPED_TRACE(ToShiftJis(property.name));
        ASSERT_NE(nullptr, GetDlgItem(dialog, id)) << "no control " << id << " on the dialog";
        EXPECT_TRUE(shown.insert(id).second) << "control " << id << " shows another property too";
        const Variant value = Get(control, property.name);
        switch (property.control.kind) {
        case WyFTPPageControl::CheckBox:
            EXPECT_EQ(value.AsBool() ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(dialog, id));
            break;
        case WyFTPPageControl::ListIndex:
            EXPECT_EQ(value.AsLong(), SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
            EXPECT_EQ(static_cast<LRESULT>(property.control.itemCount), SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
            break;
        default:
            EXPECT_EQ(value.AsText(), Text(dialog, id));
        }
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        EXPECT_TRUE(id == IDC_STATIC || shown.count(id)) << "control " << id << " shows no property";
        ExpectLabelFits(child);
    }
}

// The control's pages in a frame of the test's: shown with the control's
// values, edited as a user does, applied through the setters.
TEST(PropertyPages, TheControlsPagesShowItsValuesAndApplyEditsThroughTheSetters)
{
    const struct {
        CLSID page;
        UINT templateId;
        const wchar_t* title;
        std::vector<std::pair<int, const wchar_t*>> texts;  // typed into edits
        std::vector<int> clicks;                            // buttons clicked
        std::pair<int, int> choice;                         // a list and the item chosen
        std::vector<std::pair<const wchar_t*, Variant>> applied;
        int password;  // the edit that hides what is typed, or 0
    } pages[] = {
        {CLSID_WyFTPPropPage,
         IDD_PROPPAGE_WYFTP,
         L"General",
         {{IDC_SERVER_NAME, L"ftp://ftp.example.jp/"}, {IDC_TRANSFER_BYTE, L"0"}, {IDC_TREE_VIEW_WIDTH, L"180"},
          {IDC_USER_NAME, L"\u30E6\u30FC\u30B6"}},
         {IDC_VISIBLE_TREE},
         {IDC_LIST_VIEW_MODE, 3},
         // 0 is refused by the TransferByte setter; untouched controls write nothing.
         {{L"ServerName", "ftp.example.jp"}, {L"TransferByte", 1024}, {L"TreeViewWidth", 180},
          {L"UserName", "ユーザ"}, {L"VisibleTree", false}, {L"ListViewMode", 3}, {L"ShowProgressDialog", 100}},
         IDC_PASSWORD},
        {CLSID_WyFTPConnectionPage,
         IDD_PROPPAGE_CONNECTION,
         L"Connection",
         {{IDC_PORT, L"2121"}, {IDC_TIMEOUT, L"5"}},
         {IDC_PASSIVE_MODE},
         {IDC_SERVER_ENCODING, 2},
         {{L"PassiveMode", true}, {L"Port", 2121}, {L"Timeout", 5}, {L"ServerEncoding", 2}},
         0},
    };
    // The control lists its own pages, then the stock font page.
    ComPtr<IDispatch> control = CreateControl();
    CAUUID ids = {};
    ASSERT_EQ(S_OK, control.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages)->GetPages(&ids));
    const std::vector<CLSID> listed(ids.pElems, ids.pElems + ids.cElems);
    CoTaskMemFree(ids.pElems);
    const CLSID stockFont = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    EXPECT_EQ((std::vector<CLSID>{pages[0].page, pages[1].page, stockFont}), listed);

    for (const auto& test : pages) {
        SCOPED_TRACE(ToShiftJis(test.title));
        ComPtr<IPropertyPage> page;
        ASSERT_EQ(S_OK, CoCreateInstance(test.page, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
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
        ExpectPageShowsTheControlsValues(dialog, test.templateId, control.Get());
        if (test.password) {
            EXPECT_EQ(ES_PASSWORD, GetWindowLongW(GetDlgItem(dialog, test.password), GWL_STYLE) & ES_PASSWORD);
        }
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        PROPPAGEINFO info = {};
        ASSERT_EQ(S_OK, page->GetPageInfo(&info));
        EXPECT_STREQ(test.title, info.pszTitle);
        EXPECT_STREQ(L"WyFTP.HLP", info.pszHelpFile);
        EXPECT_GT(info.size.cx, 100);
        EXPECT_GT(info.size.cy, 100);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        CoTaskMemFree(info.pszHelpFile);

        for (const auto& [id, text] : test.texts)
            SetDlgItemTextW(dialog, id, text);
        for (const int id : test.clicks)
            SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, test.choice.first, CB_SETCURSEL, test.choice.second, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(test.choice.first, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, test.choice.first)));
        EXPECT_EQ(S_OK, page->IsPageDirty());
        EXPECT_EQ(static_cast<DWORD>(PROPPAGESTATUS_DIRTY), site.lastStatus);
        ASSERT_EQ(S_OK, page->Apply());
        for (const auto& [name, value] : test.applied)
            EXPECT_EQ(value.AsText(), Get(control.Get(), name).AsText()) << ToShiftJis(name);
        // The page shows what was stored, not what was typed.
        ExpectPageShowsTheControlsValues(dialog, test.templateId, control.Get());
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        page->Deactivate();
        page->SetObjects(0, nullptr);
        page->SetPageSite(nullptr);
    }
}

BOOL CALLBACK FindServerNameEdit(HWND child, LPARAM found)
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
    EnumChildWindows(frame, FindServerNameEdit, reinterpret_cast<LPARAM>(&page));
    return page;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
           && inner.bottom <= outer.bottom;
}

// What the frame showed, read from inside its modal loop.
struct FrameSeen {
    bool ourPage = false;
    std::wstring title;
    std::vector<std::string> outside;  // the page, or its controls, outside their area
};
FrameSeen g_frame;

// Looks at the frame as it opens, then clicks each tab and types a server
// name as a user does, capturing the screen after each, and cancels.
void CALLBACK UseThePropertyFrame(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND frame = FindThreadWindow(L"#32770", nullptr);
    HWND page = frame ? FindControlsPage(frame) : nullptr;
    if (!page)
        return;
    KillTimer(nullptr, timer);
    g_frame.ourPage = true;
    wchar_t title[128] = L"";
    GetWindowTextW(frame, title, 128);
    g_frame.title = title;
    // Wine's frame activates a page with the size of its first, unfitted
    // container and then fits the container to the tab without a Move.
    RECT area = {};
    GetClientRect(GetParent(page), &area);
    MapWindowPoints(GetParent(page), nullptr, reinterpret_cast<POINT*>(&area), 2);
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    if (!Contains(area, pageRect))
        g_frame.outside.push_back("the page");
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        if (!Contains(pageRect, rect))
            g_frame.outside.push_back("control " + std::to_string(GetDlgCtrlID(child)));
    }
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

TEST(Verbs, ThePropertiesVerbShowsTheControlsPagesWholeInAFrameThatPaintsRight)
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
    EXPECT_EQ("プロパティ(&R)...", ToShiftJis(verb.lpszVerbName));
    CoTaskMemFree(verb.lpszVerbName);
    EXPECT_EQ(S_FALSE, verbs->Next(1, &verb, &fetched));
    EXPECT_EQ(0u, fetched);

    TestWindow owner(200, 100);
    g_frame = FrameSeen();
    g_stale.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &UseThePropertyFrame);
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, owner.Get(), nullptr));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_frame.ourPage) << "no frame with the control's page appeared";
    // The title names the control, not a format string ("%sのプロパティ").
    EXPECT_EQ(0u, g_frame.title.find(L"WyFTP Control")) << ToShiftJis(g_frame.title);
    EXPECT_TRUE(g_frame.outside.empty()) << g_frame.outside.front() << " runs out of its area";
    // The frame, one capture per tab (the control's two pages; Wine has no
    // stock font page to show) and the typing.
    ASSERT_LE(4u, g_stale.size());
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
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
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
