// The window layer driven headless: queue order, timers under a modal
// dialog, mouse routing, composition and display modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Headless.h"

namespace {

// A window that writes down what it receives.
class CRecorder : public CWnd {
public:
    std::vector<std::string> log;
    std::vector<CPoint> points;

    void Make(CWnd* parent, CRect r, DWORD style = WS_VISIBLE) {
        ASSERT_TRUE(CreateEx(0, nullptr, nullptr, style | (parent ? WS_CHILD : WS_POPUP), r, parent, 0));
    }

protected:
    void OnTimer(UINT_PTR id) override { log.push_back("timer" + std::to_string(id)); }
    void OnLButtonDown(UINT, CPoint p) override { Note("ldown", p); }
    void OnLButtonUp(UINT, CPoint p) override { Note("lup", p); }
    void OnLButtonDblClk(UINT, CPoint p) override { Note("ldbl", p); }
    BOOL OnMouseWheel(UINT, short delta, CPoint) override {
        log.push_back("wheel" + std::to_string(delta));
        return TRUE;
    }
    void OnKeyDown(UINT ch, UINT, UINT) override { log.push_back("key" + std::to_string(ch)); }
    void OnChar(UINT ch, UINT, UINT) override { log.push_back(std::string("char") + char(ch)); }
    LRESULT WindowProc(UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_USER) log.push_back("user");
        return CWnd::WindowProc(message, w, l);
    }

private:
    void Note(const char* what, CPoint p) {
        log.push_back(what);
        points.push_back(p);
    }
};

TEST(WindowLayer, PostedMessagesComeBeforeTimersAndTimersFireAfterTheirPeriod) {
    CHeadlessScope scope;
    CRecorder w;
    w.Make(nullptr, CRect(0, 0, 100, 100));
    w.SetTimer(1, 50);
    w.PostMessage(WM_USER);
    scope.Pump(49);
    EXPECT_EQ(w.log, (std::vector<std::string>{"user"}));
    scope.Pump(2);
    EXPECT_EQ(w.log, (std::vector<std::string>{"user", "timer1"}));
    // A timer that is late fires once, never a burst to catch up.
    w.log.clear();
    scope.Display().Advance(500);
    scope.Pump(1);
    EXPECT_EQ(w.log, (std::vector<std::string>{"timer1"}));
    w.KillTimer(1);
    w.log.clear();
    scope.Pump(200);
    EXPECT_TRUE(w.log.empty());
}

TEST(WindowLayer, TimersSurviveTheClockWrapping) {
    CHeadlessScope scope({1024, 768, 32}, 0xFFFFFFF0u);
    CRecorder w;
    w.Make(nullptr, CRect(0, 0, 10, 10));
    w.SetTimer(7, 30);
    scope.Pump(100);
    EXPECT_GE(w.log.size(), 2u);
    EXPECT_LT(scope.Now(), 0x1000u);  // the clock did wrap
}

TEST(WindowLayer, TimedWaitSleepsUntilItsTimeATimerOrInput) {
    CHeadlessScope scope;
    CRecorder w;
    w.Make(nullptr, CRect(0, 0, 100, 100));
    auto drain = [] {
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    };
    drain();
    DWORD t = scope.Now();
    // Nothing pending: the whole wait passes in one step, not a poll a
    // millisecond.
    EXPECT_TRUE(WaitMessageTimeout(30));
    EXPECT_EQ(scope.Now() - t, 30u);
    // A timer due earlier cuts it short.
    w.SetTimer(1, 20);
    t = scope.Now();
    WaitMessageTimeout(100);
    EXPECT_EQ(scope.Now() - t, 21u);
    w.KillTimer(1);
    drain();
    // So does input, and a message already there ends it at once.
    scope.Display().ClickAfter(5, 10, 10);
    t = scope.Now();
    WaitMessageTimeout(100);
    EXPECT_EQ(scope.Now() - t, 5u);
    t = scope.Now();
    WaitMessageTimeout(100);
    EXPECT_EQ(scope.Now(), t);
}

// A dialog that ends itself after a number of its own timer ticks.
class CSelfEndingDialog : public CDialog {
public:
    int ticks = 0;
    int endAfter = 3;
    CRecorder* inside = nullptr;
    BOOL OnInitDialog() override {
        MoveWindow(100, 100, 200, 100);
        SetTimer(4, 10);
        return TRUE;
    }
    void OnTimer(UINT_PTR) override {
        if (++ticks == endAfter) EndDialog(42);
    }
    void OnLButtonDown(UINT, CPoint) override { endAfter = ticks + 1000; }
};

TEST(WindowLayer, ModalDialogPumpsTheQueueAndOtherTimersKeepFiring) {
    CHeadlessScope scope;
    CRecorder owner;
    owner.Make(nullptr, CRect(0, 0, 1024, 768));
    owner.SetTimer(1, 20);
    CSelfEndingDialog dlg;
    dlg.endAfter = 10;
    // A click outside the dialog is lost; the owner must not see it.
    scope.Display().ClickAfter(5, 10, 10);
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.ticks, 10);
    EXPECT_EQ(std::count(owner.log.begin(), owner.log.end(), "ldown"), 0);
    EXPECT_GE(std::count(owner.log.begin(), owner.log.end(), "timer1"), 3);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(AfxGetModal(), nullptr);
}

TEST(WindowLayer, EscapeCancelsAModalDialog) {
    CHeadlessScope scope;
    CSelfEndingDialog dlg;
    dlg.endAfter = 1000000;
    scope.Display().After(30, [] { AfxInputKey(VK_ESCAPE, true); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(WindowLayer, MouseGoesToTheCaptureAndPressesCloseTogetherMakeADoubleClick) {
    CHeadlessScope scope;
    CRecorder frame, left, right;
    frame.Make(nullptr, CRect(0, 0, 400, 300));
    left.Make(&frame, CRect(0, 0, 200, 300));
    right.Make(&frame, CRect(200, 0, 400, 300));

    AfxInputMouseButton(0, true, 250, 40);
    AfxInputMouseButton(0, false, 250, 40);
    scope.Display().Advance(100);
    AfxInputMouseButton(0, true, 251, 41);  // within 500 ms and 2 pixels
    AfxInputMouseButton(0, false, 251, 41);
    scope.Display().Advance(600);
    AfxInputMouseButton(0, true, 251, 41);  // too late: a plain press again
    scope.Pump(1);
    EXPECT_EQ(right.log, (std::vector<std::string>{"ldown", "lup", "ldbl", "lup", "ldown"}));
    EXPECT_EQ(right.points.front(), CPoint(50, 40));  // client coordinates

    left.SetCapture();
    AfxInputMouseButton(0, false, 390, 10);
    AfxInputWheel(-WHEEL_DELTA, 390, 10);
    left.SetFocus();
    AfxInputKey('A', true);
    AfxInputChar('a');
    scope.Pump(1);
    EXPECT_EQ(left.log, (std::vector<std::string>{"lup", "wheel-120", "key65", "chara"}));
    EXPECT_EQ(left.points.back(), CPoint(390, 10));
    EXPECT_TRUE(GetKeyState('A') & 0x8000);
    ReleaseCapture();
}

TEST(WindowLayer, DialogIsComposedOverTheViewAndGoneAfterwards) {
    CHeadlessScope scope;
    CRecorder view;
    view.Make(nullptr, CRect(0, 0, 1024, 768));
    view.GetSurface().Fill(CRect(0, 0, 1024, 768), 0xFF0000);
    view.PresentRects();
    EXPECT_EQ(AfxGetScreen().GetPixel(150, 150), 0xFF0000u);

    CSelfEndingDialog dlg;
    dlg.endAfter = 3;
    uint32_t seenInside = 0, seenOutside = 0;
    scope.Display().After(15, [&] {
        dlg.GetSurface().Fill(CRect(0, 0, 200, 100), 0x0000FF);
        dlg.PresentRects();
        seenInside = AfxGetScreen().GetPixel(150, 150);
        seenOutside = AfxGetScreen().GetPixel(50, 50);
        // The view draws while the dialog is up: the dialog stays on top.
        view.GetSurface().Fill(CRect(0, 0, 1024, 768), 0x00FF00);
        view.PresentRects();
        seenInside = seenInside == AfxGetScreen().GetPixel(150, 150) ? seenInside : 0;
    });
    dlg.DoModal();
    EXPECT_EQ(seenInside, 0x0000FFu);
    EXPECT_EQ(seenOutside, 0xFF0000u);
    EXPECT_EQ(AfxGetScreen().GetPixel(150, 150), 0x00FF00u);
}

TEST(WindowLayer, TrueColourRowsBecomeScreenWordsAtEveryWidthAndOffset) {
    // The 24-bit copy works 16 and 4 pixels at a time: each width and
    // start gives the pixels a byte-by-byte copy gives, and writes nothing
    // beside them.
    const int srcW = 64, srcH = 3, stride = srcW * 3 + 1;
    std::vector<uint8_t> bits(size_t(stride) * srcH);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = uint8_t(i * 151 + 7);
    for (bool bottomUp : {false, true})
        for (int srcX : {0, 1, 2, 5})
            for (int w = 1; w <= srcW - srcX; ++w) {
                CPixelSurface surface(70, 3);
                surface.Fill(CRect(0, 0, 70, 3), 0xABCDEF);
                surface.BlitBGR24(3, 1, bits.data(), srcW, srcH, stride, bottomUp, srcX, 1, w, 1);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 70; ++x) {
                        uint32_t want = 0xABCDEF;
                        if (y == 1 && x >= 3 && x < 3 + w) {
                            const uint8_t* p = bits.data() + size_t(stride) * 1 + size_t(srcX + x - 3) * 3;
                            want = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
                        }
                        ASSERT_EQ(surface.GetPixel(x, y), want) << "width " << w << " from " << srcX << " at " << x;
                    }
            }
}

TEST(WindowLayer, DisplayModesAreListedAndOnlyListedOnesCanBeSet) {
    CHeadlessScope scope({1600, 1200, 32});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1600);
    DEVMODE dm;
    std::vector<std::pair<DWORD, DWORD>> listed;
    for (DWORD i = 0; EnumDisplaySettings(nullptr, i, &dm); ++i) listed.push_back({dm.dmPelsWidth, dm.dmPelsHeight});
    EXPECT_EQ(listed, (std::vector<std::pair<DWORD, DWORD>>{{1024, 768}, {1280, 1024}}));

    DEVMODE odd;
    odd.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    odd.dmBitsPerPel = 32, odd.dmPelsWidth = 800, odd.dmPelsHeight = 600;
    EXPECT_EQ(ChangeDisplaySettings(&odd, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);

    DEVMODE good = odd;
    good.dmPelsWidth = 1024, good.dmPelsHeight = 768;
    scope.Display().SetFailModeSwitch(true);
    EXPECT_EQ(ChangeDisplaySettings(&good, CDS_FULLSCREEN), DISP_CHANGE_FAILED);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1600);
    scope.Display().SetFailModeSwitch(false);
    EXPECT_EQ(ChangeDisplaySettings(&good, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(AfxGetScreen().GetWidth(), 1024);
    EXPECT_EQ(ChangeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1200);
}

// Document, frame and view made by the template, in the framework's order.
std::vector<std::string> g_order;
enum Refusal { kNoRefusal, kRefuseBeforeCreate, kRefuseInCreate } g_refuseView = kNoRefusal;

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
public:
    CTestDoc() { g_order.push_back("doc"); }
    ~CTestDoc() override { g_order.push_back("~doc"); }
    BOOL OnNewDocument() override {
        g_order.push_back("new");
        return CDocument::OnNewDocument();
    }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    CTestFrame() { g_order.push_back("frame"); }
    ~CTestFrame() override { g_order.push_back("~frame"); }
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    CTestView() { g_order.push_back("view"); }
    ~CTestView() override { g_order.push_back("~view"); }
    BOOL PreCreateWindow(CREATESTRUCT&) override {
        g_order.push_back("check");
        return g_refuseView != kRefuseBeforeCreate;
    }
    int OnCreate(CREATESTRUCT* cs) override { return g_refuseView == kRefuseInCreate ? -1 : CView::OnCreate(cs); }
    void OnInitialUpdate() override { g_order.push_back("initial"); }
    void OnDestroy() override { g_order.push_back("destroy"); }
};
IMPLEMENT_DYNCREATE(CTestView, CView)

TEST(WindowLayer, TemplateMakesDocumentFrameAndViewInOrderAndUndoesARefusal) {
    CHeadlessScope scope;
    struct Case {
        Refusal refuse;
        std::vector<std::string> order;
    } cases[] = {
        {kNoRefusal, {"doc", "frame", "view", "check", "new", "initial", "destroy", "~view", "~frame", "~doc"}},
        {kRefuseBeforeCreate, {"doc", "frame", "view", "check", "~view", "~frame", "~doc"}},
        // The view's window existed and is destroyed again; the view object
        // is freed once, by the frame that made it.
        {kRefuseInCreate, {"doc", "frame", "view", "check", "destroy", "~view", "~frame", "~doc"}},
    };
    for (const Case& c : cases) {
        g_order.clear();
        g_refuseView = c.refuse;
        {
            CWinApp app;
            app.AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                                      RUNTIME_CLASS(CTestView)));
            CCommandLineInfo info;
            BOOL ok = app.ProcessShellCommand(info);
            EXPECT_EQ(ok, c.refuse == kNoRefusal);
            if (ok) {
                ASSERT_NE(app.m_pMainWnd, nullptr);
                EXPECT_TRUE(app.m_pMainWnd->IsWindowVisible());
                app.m_pMainWnd->PostMessage(WM_CLOSE);
                EXPECT_FALSE(app.RunUntil(nullptr));  // ends with WM_QUIT
                EXPECT_EQ(app.m_pMainWnd, nullptr);
            }
        }
        EXPECT_EQ(g_order, c.order) << c.refuse;
        EXPECT_TRUE(AfxGetTopLevelWindows().empty()) << c.refuse;
    }
    g_refuseView = kNoRefusal;
}

TEST(WindowLayer, DeletingAViewWithItsWindowUpFreesItOnce) {
    CHeadlessScope scope;
    g_order.clear();
    CTestView* view = new CTestView;
    ASSERT_TRUE(view->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0));
    view->GetSurface().Fill(CRect(0, 0, 10, 10), 0xFFFFFF);  // something of its own to free
    delete view;
    EXPECT_EQ(g_order, (std::vector<std::string>{"view", "check", "~view"}));
    EXPECT_TRUE(AfxGetTopLevelWindows().empty());
}

}  // namespace

#include "platform/win/MessageBoxDlg.h"

namespace {

TEST(WindowLayer, MessageBoxIsDrawnOverTheScreenAndAnswersByClickOrKey) {
    CHeadlessScope scope;
    AfxSetMessageBoxHandler(AfxShowMessageBoxDialog);
    struct Case {
        UINT type;
        int button;      // index of the button clicked, -1 for a key
        UINT key;
        int expected;
    } cases[] = {
        {MB_OK, 0, 0, IDOK},
        {MB_YESNO, 1, 0, IDNO},
        {MB_YESNO, -1, VK_RETURN, IDYES},
        {MB_OKCANCEL, -1, VK_ESCAPE, IDCANCEL},
    };
    for (const Case& c : cases) {
        CMessageBoxDlg probe("ERROR: Something went wrong.\nSecond line", "Velmor", c.type);
        uint32_t centre = 0;
        scope.Display().After(20, [&, c] {
            CWnd* box = AfxGetModal();
            ASSERT_NE(box, nullptr);
            CRect r;
            box->GetWindowRect(&r);
            centre = AfxGetScreen().GetPixel(r.CenterPoint().x, r.top + 60);
            if (c.button >= 0) {
                CRect b = probe.GetButtonRect(c.button);
                b.OffsetRect(r.left, r.top);
                AfxInputMouseButton(0, true, b.CenterPoint().x, b.CenterPoint().y);
            } else {
                AfxInputKey(c.key, true);
            }
        });
        EXPECT_EQ(AfxMessageBox("ERROR: Something went wrong.\nSecond line", c.type), c.expected);
        EXPECT_NE(centre, 0u) << "the box was not on the screen";
        EXPECT_EQ(AfxGetModal(), nullptr);
    }
    AfxSetMessageBoxHandler(nullptr);
}

}  // namespace
