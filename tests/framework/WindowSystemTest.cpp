// The window system and the command machinery without any program: message
// maps chained to their bases, command routing through view, document,
// frame and application with CCmdUI, accelerators, notifications reflected
// to controls, focus, key dispatch, and modal dialogs from a template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app/Dialog.h"
#include "framework/app/DocTemplate.h"
#include "framework/app/Document.h"
#include "framework/app/FrameWnd.h"
#include "framework/app/View.h"
#include "framework/app/WinApp.h"
#include "framework/host/HeadlessHost.h"
#include "framework/res/Resources.h"
#include "framework/win/WindowSystem.h"
#include "tests/support/PopupScreen.h"

namespace {

std::vector<std::string> g_log;

std::string TakeLog()
{
    std::string s;
    for (const auto& e : g_log)
        s += (s.empty() ? "" : " ") + e;
    g_log.clear();
    return s;
}

// Commands of the routing tests; each name says who handles it.
constexpr UINT ID_ALL = 40001;  // view, document, frame, application
constexpr UINT ID_DOC_FRAME_APP = 40002;
constexpr UINT ID_FRAME_APP = 40003;
constexpr UINT ID_APP_ONLY = 40004;
constexpr UINT ID_NOBODY = 40005;
constexpr UINT ID_FRAME_OFF = 40006;    // handled by the frame, disabled by its update handler
constexpr UINT ID_VIEW_SAYS = 40007;    // update: view enables, frame disables
constexpr UINT ID_RANGE_FIRST = 40010;  // 40010..40012: the frame's range handler
constexpr UINT ID_RANGE_LAST = 40012;

// --- a resource module written by hand ---

constexpr UINT IDR_TEST = 7;
constexpr UINT IDD_TEST = 20;
constexpr int IDC_NAME = 10;

const res::StringResource kStrings[] = {{IDR_TEST, 1033, u"Test Frame\n\nTest"}};
const res::AccelEntry kAccel[] = {
    {FVIRTKEY | FCONTROL, 'K', ID_ALL},
    {FVIRTKEY | FCONTROL, 'D', ID_FRAME_OFF},
    {FVIRTKEY | FCONTROL | FSHIFT | FACCEL_END, 'K', ID_APP_ONLY},
};
const res::AcceleratorTable kAccelTables[] = {{IDR_TEST, 1033, kAccel}};
const res::DialogItem kDialogItems[] = {
    {u"STATIC", u"Name:", 0, -1, WS_CHILD | WS_VISIBLE, 0, 4, 4, 30, 8},
    {u"EDIT", u"", 0, IDC_NAME, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 40, 4, 60, 12},
    {u"BUTTON", u"OK", 0, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 10, 30, 40, 12},
    {u"BUTTON", u"Cancel", 0, IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 30, 40, 12},
};
const res::DialogTemplate kDialogs[] = {
    {IDD_TEST, u"", 1033, false, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 110, 48, u"Ask", u"System", 8, 0, 0, 0,
     kDialogItems},
};
const res::Module kModule{
    .strings = kStrings,
    .accelerators = kAccelTables,
    .dialogs = kDialogs,
};

// --- the program's classes ---

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(u"test") {}

protected:
    void OnAll() { g_log.push_back("app"); }
    void OnDocFrameApp() { g_log.push_back("app"); }
    void OnFrameApp() { g_log.push_back("app"); }
    void OnAppOnly() { g_log.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME_APP, OnDocFrameApp)
    ON_COMMAND(ID_FRAME_APP, OnFrameApp)
    ON_COMMAND(ID_APP_ONLY, OnAppOnly)
END_MESSAGE_MAP()

class TestDoc : public CDocument {
protected:
    void OnAll() { g_log.push_back("doc"); }
    void OnDocFrameApp() { g_log.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME_APP, OnDocFrameApp)
END_MESSAGE_MAP()

// A view's base class with handlers of its own, to show the chain.
class BaseView : public CView {
    DECLARE_DYNCREATE(BaseView)
protected:
    void OnChar(UINT ch, UINT, UINT) { g_log.push_back(std::string("base-char:") + char(ch)); }
    void OnKeyDown(UINT vk, UINT, UINT) { g_log.push_back("base-down:" + std::to_string(vk)); }
    void OnKeyUp(UINT vk, UINT, UINT) { g_log.push_back("up:" + std::to_string(vk)); }
    void OnAll() { g_log.push_back("base-view"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(BaseView, CView)
BEGIN_MESSAGE_MAP(BaseView, CView)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_COMMAND(ID_ALL, OnAll)
END_MESSAGE_MAP()

class TestView : public BaseView {
    DECLARE_DYNCREATE(TestView)
protected:
    // Replaces the base's key-down handler; the base keeps WM_CHAR.
    void OnKeyDown(UINT vk, UINT, UINT) { g_log.push_back("down:" + std::to_string(vk)); }
    void OnAll() { g_log.push_back("view"); }
    void OnUpdateViewSays(CCmdUI* ui) { ui->Enable(TRUE); }
    void OnSetFocus(CWnd*) { g_log.push_back("view-setfocus"); }
    void OnKillFocus(CWnd*) { g_log.push_back("view-killfocus"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, BaseView)
BEGIN_MESSAGE_MAP(TestView, BaseView)
    ON_WM_KEYDOWN()
    ON_COMMAND(ID_ALL, OnAll)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SAYS, OnUpdateViewSays)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
protected:
    void OnAll() { g_log.push_back("frame"); }
    void OnDocFrameApp() { g_log.push_back("frame"); }
    void OnFrameApp() { g_log.push_back("frame"); }
    void OnFrameOff() { g_log.push_back("frame-off"); }
    void OnUpdateFrameOff(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnViewSays() { g_log.push_back("frame-view-says"); }
    void OnUpdateViewSays(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnRange(UINT id) { g_log.push_back("range:" + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME_APP, OnDocFrameApp)
    ON_COMMAND(ID_FRAME_APP, OnFrameApp)
    ON_COMMAND(ID_FRAME_OFF, OnFrameOff)
    ON_UPDATE_COMMAND_UI(ID_FRAME_OFF, OnUpdateFrameOff)
    ON_COMMAND(ID_VIEW_SAYS, OnViewSays)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SAYS, OnUpdateViewSays)
    ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnRange)
END_MESSAGE_MAP()

}  // namespace

class WindowSystemTest : public ::testing::Test {
protected:
    HeadlessHost host{80, 24};
    TestApp app;
    TestDoc* doc = nullptr;
    TestFrame* frame = nullptr;
    const res::Module* savedModule = nullptr;

    void SetUp() override
    {
        g_log.clear();
        savedModule = AfxGetResourceHandle();
        AfxSetResourceHandle(&kModule);
        WindowSystem::Get().SetHost(&host);
        app.SetUp(u"/opt/test", {});
        doc = new TestDoc;
        CCreateContext context;
        context.m_pCurrentDoc = doc;
        context.m_pNewViewClass = RUNTIME_CLASS(TestView);
        frame = new TestFrame;
        ASSERT_TRUE(frame->LoadFrame(IDR_TEST, WS_VISIBLE, nullptr, &context));
        app.m_pMainWnd = frame;
        frame->SetActiveView(View(), FALSE);
        frame->ActivateFrame();
        g_log.clear();
    }
    void TearDown() override
    {
        if (AfxGetMainWnd())
            frame->DestroyWindow();
        delete doc;
        WindowSystem::Get().Reset();
        WindowSystem::Get().SetHost(nullptr);
        AfxSetResourceHandle(savedModule);
    }

    TestView* View() { return static_cast<TestView*>(frame->GetDlgItem(int(AFX_IDW_PANE_FIRST))); }
    std::string Route(UINT id)
    {
        frame->SendMessage(WM_COMMAND, id, 0);
        return TakeLog();
    }
};

TEST_F(WindowSystemTest, MessageMapsChainToTheirBaseClasses)
{
    ASSERT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    host.Key('A', u'a');
    host.Run();
    // The derived map's key-down, the base's char, the base's key-up.
    EXPECT_EQ(TakeLog(), "down:65 base-char:a up:65");
    // A message neither map handles reaches the window class: the text is kept.
    View()->SetWindowText(u"kept");
    EXPECT_EQ(View()->GetWindowText(), u"kept");
    // A command both maps handle goes to the derived handler only.
    EXPECT_EQ(Route(ID_ALL), "view");
}

TEST_F(WindowSystemTest, CommandsGoToViewDocumentFrameApplication)
{
    EXPECT_EQ(Route(ID_ALL), "view");
    EXPECT_EQ(Route(ID_DOC_FRAME_APP), "doc");
    EXPECT_EQ(Route(ID_FRAME_APP), "frame");
    EXPECT_EQ(Route(ID_APP_ONLY), "app");
    EXPECT_EQ(Route(ID_NOBODY), "");
    EXPECT_EQ(Route(ID_RANGE_FIRST + 1), "range:40011");
    EXPECT_EQ(Route(ID_RANGE_LAST + 1), "");
    // Without an active view, its document is not asked either.
    frame->SetActiveView(nullptr, FALSE);
    EXPECT_EQ(Route(ID_ALL), "frame");
    EXPECT_EQ(Route(ID_DOC_FRAME_APP), "frame");
}

TEST_F(WindowSystemTest, UpdateHandlersDecideEnabling)
{
    // A handler without an update handler: enabled; no handler: disabled.
    EXPECT_TRUE(frame->IsCommandEnabled(ID_ALL));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_APP_ONLY));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_RANGE_LAST));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_NOBODY));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_FRAME_OFF));
    // The first update handler on the route decides: the view's before the frame's.
    EXPECT_TRUE(frame->IsCommandEnabled(ID_VIEW_SAYS));
    frame->SetActiveView(nullptr, FALSE);
    EXPECT_FALSE(frame->IsCommandEnabled(ID_VIEW_SAYS));

    // CCmdUI records what the handler said, without dispatching the command.
    CCmdUI ui;
    ui.m_nID = ID_FRAME_OFF;
    EXPECT_TRUE(ui.DoUpdate(frame, TRUE));
    EXPECT_TRUE(ui.m_bEnableChanged);
    EXPECT_FALSE(ui.m_bEnabled);
    CCmdUI none;
    none.m_nID = ID_NOBODY;
    EXPECT_FALSE(none.DoUpdate(frame, FALSE));
    EXPECT_TRUE(none.m_bEnabled);  // nobody said otherwise, and nothing disables it
    EXPECT_EQ(TakeLog(), "");
}

TEST_F(WindowSystemTest, AcceleratorsRunEnabledCommandsAndSwallowDisabledOnes)
{
    host.Key('K', 0x0B, true);
    host.Run();
    EXPECT_EQ(TakeLog(), "view up:75");
    host.Key('K', 0x0B, true, true);
    host.Run();
    EXPECT_EQ(TakeLog(), "app up:75");
    // Ctrl+D's command is disabled: nothing runs, and the key is spent
    // (the view sees neither its key-down nor its character).
    host.Key('D', 0x04, true);
    host.Run();
    EXPECT_EQ(TakeLog(), "up:68");
    // Keys without an accelerator reach the view.
    host.Key('J', 0x0A, true);
    host.Run();
    EXPECT_EQ(TakeLog(), "down:74 base-char:\n up:74");
}

TEST_F(WindowSystemTest, FocusMovesWithKillBeforeSetAndKeysFollowIt)
{
    HWND other = CreateWindowEx(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 16, View()->m_hWnd,
                                5, nullptr);
    ::SetFocus(other);
    EXPECT_EQ(TakeLog(), "view-killfocus");
    host.Type(u"xy");
    host.Run();
    EXPECT_EQ(GetWindowText(other), u"xy");
    EXPECT_EQ(TakeLog(), "");
    // A hidden window cannot keep the focus: it goes to the parent.
    ::ShowWindow(other, SW_HIDE);
    EXPECT_EQ(::GetFocus(), View()->m_hWnd);
    EXPECT_EQ(TakeLog(), "view-setfocus");
    // Clicks land on the deepest visible window under the cell.
    ::ShowWindow(other, SW_SHOW);
    host.Click(2, 0);
    host.Run();
    EXPECT_EQ(::GetFocus(), other);
}

// --- notifications and reflection ---

namespace {

class ReflectingButton : public CWnd {
public:
    int clicks = 0;

protected:
    void OnClickedReflect() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
END_MESSAGE_MAP()

class ButtonParent : public CWnd {
public:
    int clicks = 0;

protected:
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ButtonParent, CWnd)
    ON_BN_CLICKED(1, OnClicked)
    ON_BN_CLICKED(2, OnClicked)
END_MESSAGE_MAP()

}  // namespace

TEST_F(WindowSystemTest, ControlNotificationsReachTheParentUnlessReflected)
{
    ButtonParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_VISIBLE, CRect(0, 0, 800, 384), nullptr, 0));
    HWND plain
        = CreateWindowEx(0, u"BUTTON", u"Plain", WS_CHILD | WS_VISIBLE, 0, 0, 100, 16, parent.m_hWnd, 1, nullptr);
    HWND reflecting
        = CreateWindowEx(0, u"BUTTON", u"Mine", WS_CHILD | WS_VISIBLE, 0, 32, 100, 16, parent.m_hWnd, 2, nullptr);
    ReflectingButton mine;
    ASSERT_TRUE(mine.Attach(reflecting));
    host.ClickText(u"Plain");
    host.Run();
    EXPECT_EQ(parent.clicks, 1);
    host.ClickText(u"Mine");
    host.Run();
    EXPECT_EQ(mine.clicks, 1);
    EXPECT_EQ(parent.clicks, 1);
    mine.Detach();
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(plain));
}

// --- modal dialogs ---

namespace {

class AskDialog : public CDialog {
public:
    AskDialog() : CDialog(IDD_TEST) {}
    CString m_name;
    bool m_centre = false;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        GetDlgItem(IDC_NAME)->SetWindowText(u"start");
        if (m_centre)
            CenterWindow();
        return TRUE;
    }
    void OnOK() override
    {
        m_name = GetDlgItem(IDC_NAME)->GetWindowText();
        CDialog::OnOK();
    }
};

}  // namespace

TEST_F(WindowSystemTest, DialogRunsModallyAndEnterAcceptsIt)
{
    AskDialog dlg;
    bool checked = false;
    host.OnModal([&] {
        checked = true;
        HWND box = WindowSystem::Get().ActiveTopLevel();
        ASSERT_NE(box, frame->m_hWnd);
        EXPECT_EQ(GetWindowText(box), u"Ask");
        EXPECT_EQ(GetWindow(box, GW_OWNER), frame->m_hWnd);
        // The owner is disabled; the first control with a tab stop has the
        // focus, its text selected, so typing replaces it.
        EXPECT_FALSE(frame->IsWindowEnabled());
        EXPECT_EQ(::GetFocus(), GetDlgItem(box, IDC_NAME));
        EXPECT_GE(host.Find(u"Name:").x, 0);
        // Keys for the frame do not reach it.
        host.Key('K', 0x0B, true);
        host.Type(u"Ann");
        host.Key(VK_RETURN, u'\r');
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(checked);
    EXPECT_EQ(dlg.m_name, u"Ann");
    // No command ran; the view lost the focus to the dialog and got it back.
    EXPECT_EQ(TakeLog(), "view-killfocus view-setfocus");
    // The owner is back, with the focus where it was.
    EXPECT_TRUE(frame->IsWindowEnabled());
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(host.Find(u"Name:").x, -1);
}

TEST_F(WindowSystemTest, DialogEndsWithCancelByEscapeButtonOrClose)
{
    struct Way {
        const char* name;
        std::function<void()> answer;
    };
    const Way ways[] = {
        {"Esc", [&] { host.Key(VK_ESCAPE, 0x1B); }},
        {"Cancel button", [&] { host.ClickButton(u"Cancel"); }},
        {"Tab to Cancel, Enter",
         [&] {
             host.Key(VK_TAB);
             host.Key(VK_TAB);
             host.Key(VK_RETURN, u'\r');
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        AskDialog dlg;
        host.OnModal(way.answer);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(dlg.m_name.IsEmpty());
        EXPECT_TRUE(frame->IsWindowEnabled());
    }
    AskDialog dlg;
    host.OnModal([&] { host.ClickButton(u"OK"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_name, u"start");
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(WindowSystemTest, CenterWindowCentresOverTheOwnerOrTheScreen)
{
    // Over the owner: the frame, here smaller than the screen and off-centre.
    frame->MoveWindow(100, 48, 500, 256);
    AskDialog dlg;
    dlg.m_centre = true;
    CRect owner = GetWindowRect(frame->m_hWnd);
    host.OnModal([&] {
        CRect r = GetWindowRect(WindowSystem::Get().ActiveTopLevel());
        EXPECT_LE(std::abs((r.left - owner.left) - (owner.right - r.right)), 1);
        EXPECT_LE(std::abs((r.top - owner.top) - (owner.bottom - r.bottom)), 1);
        host.Key(VK_ESCAPE, 0x1B);
    });
    dlg.DoModal();

    // Without an owner: in the screen.
    frame->DestroyWindow();
    ASSERT_EQ(AfxGetMainWnd(), nullptr);
    AskDialog alone;
    alone.m_centre = true;
    host.OnModal([&] {
        HWND box = WindowSystem::Get().ActiveTopLevel();
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        CRect r = GetWindowRect(box);
        EXPECT_LE(std::abs(r.left - (800 - r.right)), 1);
        EXPECT_LE(std::abs(r.top - (384 - r.bottom)), 1);
        host.Key(VK_ESCAPE, 0x1B);
    });
    alone.DoModal();
}

// A message box larger than the screen shows cut inside its frame, with its
// caption and close box, scrolled to its focused button. The wheel over a
// button scrolls the box (a button passes the wheel on), the frame's arrows
// scroll it, and a key brings the focused button back into view.
TEST_F(WindowSystemTest, MessageBoxLargerThanTheScreenScrollsToItsFocusedButton)
{
    host.Resize(24, 8);
    host.Run();
    std::u16string text;
    for (char16_t i = u'1'; i <= u'8'; ++i)
        text += std::u16string(u"Line ") + i + u"\n";
    host.OnModal([&] {
        EXPECT_TRUE(ShowsCaptionAndCloseBox(host, u"test")) << host.ScreenText();
        EXPECT_TRUE(ShowsInFrame(host, u"Yes")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"Line 1")) << host.ScreenText();
        CPoint yes = host.Find(u"Yes");
        host.Wheel(yes.x, yes.y, 3);
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"Line 1")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"Yes")) << host.ScreenText();
        host.Key(VK_TAB, u'\t');
        host.Key(VK_TAB, u'\t');
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"Cancel")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"Yes")) << host.ScreenText();
        // The left arrow on the bottom edge, twice: back to the left end.
        CRect frame = GetWindowCells(WindowSystem::Get().ActiveTopLevel());
        host.Click(frame.left + 1, frame.bottom - 1);
        host.Click(frame.left + 1, frame.bottom - 1);
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"Yes")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"Cancel")) << host.ScreenText();
        host.Key(VK_RETURN, u'\r');
    });
    EXPECT_EQ(AfxMessageBox(text.c_str(), MB_YESNOCANCEL), IDCANCEL);
}

// Wide characters wrap by the cells they take: every one of them shows.
TEST_F(WindowSystemTest, MessageBoxWrapsWideCharactersByTheirCells)
{
    host.Run();
    const std::u16string text(40, u'\u4E2D');
    host.OnModal([&] {
        const std::string screen = host.ScreenText();
        const std::string wide = "\u4E2D";
        size_t shown = 0;
        for (size_t at = screen.find(wide); at != std::string::npos; at = screen.find(wide, at + 1))
            ++shown;
        EXPECT_EQ(shown, text.size()) << screen;
        host.Key(VK_RETURN, u'\r');
    });
    EXPECT_EQ(AfxMessageBox(text.c_str(), MB_OK), IDOK);
}

TEST_F(WindowSystemTest, DialogWithoutItsTemplateFailsWithoutAWindow)
{
    CDialog missing(999);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(frame->IsWindowEnabled());
    EXPECT_EQ(WindowSystem::Get().ActiveTopLevel(), frame->m_hWnd);
}
