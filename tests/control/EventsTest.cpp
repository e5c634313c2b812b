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

// Each event reaches hosts of the registered control in the integration and
// explorer tests, with its ID and value; here the types they travel as.
TEST_F(ControlEvents, ParametersTravelAsLongsAndStringsAndFrozenEventsAreNotDelivered)
{
    auto oleControl = ComPtr<IDispatch>(control->GetIDispatch()).As<IOleControl>(IID_IOleControl);
    oleControl->FreezeEvents(TRUE);
    control->FireConnected();
    oleControl->FreezeEvents(FALSE);
    control->FireTransferProgress(4096);
    control->FireChangeCurrentDirectory("/pub/ソフト");
    control->FireTransferEnd();
    EXPECT_EQ((std::vector<DISPID>{kTransferProgressEvent, kChangeCurrentDirectoryEvent, kTransferEndEvent}),
              sink.Ids());
    ASSERT_EQ(3u, sink.events.size());
    EXPECT_EQ(std::vector<VARTYPE>{VT_I4}, sink.events[0].types);
    EXPECT_EQ(4096, sink.events[0].args.at(0).AsLong());
    EXPECT_EQ(std::vector<VARTYPE>{VT_BSTR}, sink.events[1].types);
    EXPECT_EQ("/pub/ソフト", sink.events[1].args.at(0).AsText());
    EXPECT_TRUE(sink.events[2].args.empty());
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

TEST_F(ControlEvents, ErrorEventCarriesSevenParametersAndShowsTheDescriptionUnlessCancelled)
{
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "not cancelled");
        sink.events.clear();
        sink.cancelDisplay = cancel;
        g_messageBoxShown = false;
        // A shown box keeps ReportError from returning until the timer closes it.
        const UINT_PTR timer = SetTimer(nullptr, 0, 300, &CloseMessageBox);
        control->ReportError(static_cast<SCODE>(0x800A03E9), "WININETエラー：550 No such file.", 0);
        KillTimer(nullptr, timer);
        EXPECT_EQ(!cancel, g_messageBoxShown);
        if (!cancel) {
            EXPECT_EQ(L"WyFTP", g_messageBoxCaption);
        }
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
    }
}

TEST_F(ControlEvents, PointsAndConnectionsEnumerateAndAnUnadvisedSinkHearsNoMore)
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

        // A sink unadvised by another sink's handler hears nothing more.
        sink.onEvent = [&](DISPID) { point->Unadvise(secondCookie); };
        control->FireConnected();
        sink.onEvent = nullptr;
        EXPECT_EQ((std::vector<DISPID>{kConnectedEvent}), sink.Ids());
        EXPECT_TRUE(second.events.empty());
    }
    // The enumerators held the control while they lived, and no longer.
    EXPECT_EQ(refsBefore, RefCountOf(unknown.Get()));
}

}  // namespace
