// Runs the real editor in the headless host: start-up from a command line,
// then keys, clicks and commands through the same dispatch a terminal
// uses; the screen, the text, beeps and message boxes are read back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorResources.h"
#include "editor/MainFrame.h"
#include "editor/TesseraApp.h"
#include "editor/TesseraDoc.h"
#include "editor/TesseraView.h"
#include "editor/ToolView.h"
#include "editor/res/resource.h"
#include "framework/host/HeadlessHost.h"
#include "framework/win/WindowSystem.h"

class EditorTest : public ::testing::Test {
protected:
    HeadlessHost host{80, 24};

    void SetUp() override
    {
        AfxSetResourceHandle(&TesselResources());
        WindowSystem::Get().SetHost(&host);
    }

    void TearDown() override
    {
        EXPECT_EQ(host.Starved(), 0) << "a modal loop waited for input the test did not give";
        if (CWnd* main = AfxGetMainWnd())
            main->DestroyWindow();
        theApp.ExitInstance();
        WindowSystem::Get().Reset();
        WindowSystem::Get().SetHost(nullptr);
    }

    // Starts the editor as "tessel args..."; the result of InitInstance.
    bool Start(std::vector<std::string> args = {})
    {
        std::vector<CString> argv;
        for (const auto& a : args)
            argv.push_back(CString::FromUtf8(a));
        theApp.SetUp(u"/usr/local/bin/tessel", std::move(argv));
        return theApp.InitInstance() != FALSE;
    }

    CMainFrame* Frame() { return static_cast<CMainFrame*>(AfxGetMainWnd()); }
    CTesseraView* View() { return Frame()->m_pEditView; }
    CToolView* Tool() { return Frame()->m_pToolView; }
    CTesseraDoc* Doc() { return static_cast<CTesseraDoc*>(View()->GetDocument()); }

    std::string Text() { return View()->GetWindowText().ToUtf8(); }
    std::pair<int, int> Sel()
    {
        int s = 0, e = 0;
        View()->GetEditCtrl().GetSel(s, e);
        return {s, e};
    }
    // The tool pane's row height, as the splitter laid it out.
    int ToolRowHeight()
    {
        int cur = 0, min = 0;
        Frame()->m_wndSplitter.GetRowInfo(0, cur, min);
        return cur;
    }
    // Sends a command as a menu or accelerator would.
    void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id, 0); }
    bool Enabled(UINT id) { return Frame()->IsCommandEnabled(id) != FALSE; }
    std::string Indicator() { return Tool()->GetDlgItem(IDC_LINE_INDICATOR)->GetWindowText().ToUtf8(); }
    bool Visible(int id) { return Tool()->GetDlgItem(id)->IsWindowVisible() != FALSE; }
    void Type(std::u16string_view text)
    {
        host.Type(text);
        host.Run();
    }
};
