// Events reach connected sinks with the right dispatch IDs and parameters; the stock Error event.
#include "tests/control/ComTestSupport.h"
#include "tests/control/EventSink.h"
#include "tests/control/WindowTestSupport.h"

#include "control/WyFTPCtrl.h"
#include "control/WyFTPIds.h"

#include <ocidl.h>
#include <olectl.h>

#include <vector>

namespace {

class ControlEvents : public testing::Test {
protected:
    void SetUp() override
    {
        control = ComPtr<CWyFTPCtrl>::Attach(new CWyFTPCtrl);
        auto container = ComPtr<IDispatch>(control->GetIDispatch()).As<IConnectionPointContainer>(
            IID_IConnectionPointContainer);
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__DWyFTPEvents, point.Put()));
        ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    }
    void TearDown() override { point->Unadvise(cookie); }

    ComPtr<CWyFTPCtrl> control;
    ComPtr<IConnectionPoint> point;
    HostEventSink sink;
    DWORD cookie = 0;
};

TEST_F(ControlEvents, CustomEventsCarryTheirIdsAndParameters)
{
    control->FireTransferProgress(4096);
    control->FireConnected();
    control->FireDisConnected();
    control->FireTreePopUp("ツリー");
    control->FireListPopUp("表.txt");
    control->FireChangeCurrentDirectory("/pub/ソフト");
    control->FireTransferStart("host/pub/a.txt");
    control->FireTransferEnd();
    EXPECT_EQ((std::vector<DISPID>{kTransferProgressEvent, kConnectedEvent, kDisConnectedEvent, kTreePopUpEvent,
                                   kListPopUpEvent, kChangeCurrentDirectoryEvent, kTransferStartEvent,
                                   kTransferEndEvent}),
              sink.Ids());
    ASSERT_EQ(8u, sink.events.size());
    EXPECT_EQ(VT_I4, sink.events[0].args.at(0).Type());
    EXPECT_EQ(4096, sink.events[0].args.at(0).AsLong());
    EXPECT_TRUE(sink.events[1].args.empty());
    EXPECT_EQ("ツリー", sink.events[3].args.at(0).AsText());
    EXPECT_EQ("表.txt", sink.events[4].args.at(0).AsText());
    EXPECT_EQ(VT_BSTR, sink.events[5].args.at(0).Type());
    EXPECT_EQ("/pub/ソフト", sink.events[5].args.at(0).AsText());
    EXPECT_EQ("host/pub/a.txt", sink.events[6].args.at(0).AsText());
    EXPECT_TRUE(sink.events[7].args.empty());
}

TEST_F(ControlEvents, FrozenEventsAreNotDelivered)
{
    auto control2 = ComPtr<IDispatch>(control->GetIDispatch()).As<IOleControl>(IID_IOleControl);
    control2->FreezeEvents(TRUE);
    control->FireConnected();
    control2->FreezeEvents(FALSE);
    control->FireConnected();
    EXPECT_EQ(1u, sink.events.size());
}

// Closes a dialog of this thread (the message box the control may show)
// and remembers that it did and under what caption.
bool g_messageBoxShown = false;
std::wstring g_messageBoxCaption;

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindThreadWindow(L"#32770", nullptr);
    if (!box)
        return;
    KillTimer(nullptr, timer);
    g_messageBoxShown = true;
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    g_messageBoxCaption = caption;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(ControlEvents, ErrorEventCarriesSevenParametersAndHonoursCancelDisplay)
{
    g_messageBoxShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &CloseMessageBox);
    control->ReportError(static_cast<SCODE>(0x800A03E9), "WININETエラー：550 No such file.", 0);
    ASSERT_EQ(1u, sink.events.size());
    const HostEvent& error = sink.events[0];
    EXPECT_EQ(DISPID_ERROREVENT, error.id);
    ASSERT_EQ(7u, error.args.size());
    EXPECT_EQ(VT_I2, error.types[0]);
    EXPECT_EQ(1001, error.args[0].AsLong());
    EXPECT_EQ(VT_BSTR | VT_BYREF, error.types[1]);
    EXPECT_EQ("WININETエラー：550 No such file.", error.args[1].AsText());
    EXPECT_EQ(VT_I4, error.types[2]);
    EXPECT_EQ(static_cast<long>(0x800A03E9), error.args[2].AsLong());
    EXPECT_EQ("WyFTP", error.args[3].AsText());
    EXPECT_EQ("", error.args[4].AsText());  // no help file without a help context
    EXPECT_EQ(0, error.args[5].AsLong());
    EXPECT_EQ(VT_BOOL | VT_BYREF, error.types[6]);
    // The sink cancelled the display: no message box (a shown box would
    // have kept ReportError from returning until the timer closed it).
    EXPECT_FALSE(g_messageBoxShown);
    KillTimer(nullptr, timer);
}

TEST_F(ControlEvents, ErrorEventShowsTheDescriptionUnlessCancelled)
{
    sink.cancelDisplay = false;
    g_messageBoxShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &CloseMessageBox);
    control->ReportError(static_cast<SCODE>(0x800A03EA), "WYFTPエラー", 0);
    EXPECT_TRUE(g_messageBoxShown);
    EXPECT_EQ(L"WyFTP", g_messageBoxCaption);
    KillTimer(nullptr, timer);
}

TEST_F(ControlEvents, ReportErrorRaisesInsteadWhenAsked)
{
    // A method's failure raises an automation error and fires no event.
    ComPtr<IDispatch> dispatch(control->GetIDispatch());
    CallResult result = Call(dispatch.Get(), L"DisConnect");
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(ControlEvents, ContainerEnumeratesItsPointsAndAPointItsConnections)
{
    ComPtr<IUnknown> unknown(control->GetIDispatch());
    const ULONG refsBefore = RefCountOf(unknown.Get());
    {
        auto container = unknown.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IEnumConnectionPoints> points;
        ASSERT_EQ(S_OK, container->EnumConnectionPoints(points.Put()));
        IConnectionPoint* listed[3] = {};
        ULONG fetched = 0;
        EXPECT_EQ(S_FALSE, points->Next(3, listed, &fetched));
        ASSERT_EQ(2u, fetched);
        std::vector<IID> iids;
        for (ULONG i = 0; i < fetched; ++i) {
            IID iid = {};
            EXPECT_EQ(S_OK, listed[i]->GetConnectionInterface(&iid));
            iids.push_back(iid);
            listed[i]->Release();
        }
        EXPECT_EQ((std::vector<IID>{DIID__DWyFTPEvents, IID_IPropertyNotifySink}), iids);
        EXPECT_EQ(E_POINTER, points->Next(2, listed, nullptr));

        // The event point lists the fixture's sink under its cookie; a clone
        // starts where its original stands.
        HostEventSink second;
        DWORD secondCookie = 0;
        ASSERT_EQ(S_OK, point->Advise(&second, &secondCookie));
        // Disconnected whatever fails below: the sink lives on this stack.
        struct Disconnect {
            IConnectionPoint* point;
            DWORD cookie;
            ~Disconnect() { point->Unadvise(cookie); }
        } disconnect{point.Get(), secondCookie};
        ComPtr<IEnumConnections> connections;
        ASSERT_EQ(S_OK, point->EnumConnections(connections.Put()));
        CONNECTDATA first = {};
        ASSERT_EQ(S_OK, connections->Next(1, &first, nullptr));
        EXPECT_EQ(cookie, first.dwCookie);
        EXPECT_EQ(static_cast<IUnknown*>(static_cast<IDispatch*>(&sink)), first.pUnk);
        first.pUnk->Release();
        ComPtr<IEnumConnections> clone;
        ASSERT_EQ(S_OK, connections->Clone(clone.Put()));
        CONNECTDATA next = {};
        ASSERT_EQ(S_OK, clone->Next(1, &next, nullptr));
        EXPECT_EQ(secondCookie, next.dwCookie);
        next.pUnk->Release();
        EXPECT_EQ(S_FALSE, clone->Skip(1));
        EXPECT_EQ(S_OK, connections->Reset());
        EXPECT_EQ(S_OK, connections->Skip(2));
        EXPECT_EQ(S_FALSE, connections->Next(1, &next, nullptr));
    }
    // The enumerators held the control while they lived, and no longer.
    EXPECT_EQ(refsBefore, RefCountOf(unknown.Get()));
}

TEST_F(ControlEvents, SinkUnadvisedByAnotherHandlerHearsNoMore)
{
    HostEventSink second;
    DWORD secondCookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&second, &secondCookie));
    sink.onEvent = [&](DISPID) { point->Unadvise(secondCookie); };
    control->FireConnected();
    EXPECT_EQ((std::vector<DISPID>{kConnectedEvent}), sink.Ids());
    EXPECT_TRUE(second.events.empty());
}

}  // namespace
