// Tessel running in a headless host: started from a command line, driven
// through the dispatch a terminal uses (keys, taps, commands, the file
// dialogs) and read back as a person reads it. Tests and benchmarks share
// it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/EditorResources.h"
#include "editor/MainFrame.h"
#include "editor/TesseraApp.h"
#include "editor/TesseraDoc.h"
#include "editor/TesseraView.h"
#include "editor/ToolView.h"
#include "editor/res/resource.h"
#include "tests/support/HeadlessWindows.h"

namespace support {

// At the end the editor's windows are destroyed, the application has ended
// and the window system is empty again.
class HeadlessEditor : public HeadlessWindows {
public:
    explicit HeadlessEditor(int cols = 80, int rows = 24);
    ~HeadlessEditor() { Stop(); }

    // Starts the editor as "tessel args..."; the result of InitInstance.
    bool Start(const std::vector<std::string>& args = {});
    // Destroys the main window and ends the application (once started).
    void Stop();

    static CMainFrame* Frame() { return static_cast<CMainFrame*>(AfxGetMainWnd()); }
    static CTesseraView* View() { return Frame()->m_pEditView; }
    static CToolView* Tool() { return Frame()->m_pToolView; }
    static CTesseraDoc* Doc() { return static_cast<CTesseraDoc*>(View()->GetDocument()); }

    // --- what a person sees ---
    std::string Text() { return View()->GetWindowText().ToUtf8(); }
    std::u16string Text16() { return View()->GetWindowText().Str(); }
    std::pair<int, int> Sel();
    // The tool pane's row height, as the splitter laid it out.
    int ToolRowHeight();
    bool Enabled(UINT command) { return Frame()->IsCommandEnabled(command) != FALSE; }
    std::string Indicator() { return FieldText(IDC_LINE_INDICATOR); }
    // The tool pane's controls.
    bool Visible(int control) { return Tool()->GetDlgItem(control)->IsWindowVisible() != FALSE; }
    bool ControlEnabled(int control) { return Tool()->GetDlgItem(control)->IsWindowEnabled() != FALSE; }
    std::string FieldText(int control) { return Tool()->GetDlgItem(control)->GetWindowText().ToUtf8(); }
    bool MatchCase() { return Tool()->GetDlgItem(IDC_MATCH_CASE)->SendMessage(BM_GETCHECK) == BST_CHECKED; }
    // The find texts the find field's list offers, newest first.
    std::vector<std::string> HistoryList();
    bool TextHasFocus() { return CWnd::GetFocus() == static_cast<CWnd*>(View()); }

    // --- what a person does ---
    // A command as a menu or accelerator sends it.
    void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id, 0); }
    void Type(std::u16string_view text);
    void Key(UINT vk, bool ctrl = false, bool shift = false);
    // Ctrl+letter: an accelerator, or a control's own key.
    void Ctrl(char letter);
    // Ctrl+V with text on the clipboard, into whatever has the focus.
    void Paste(std::u16string_view text);
    // A tap on the middle of a tool pane control's top row.
    void Tap(int control);
    // A tap into the text, at a column of one of its visible rows.
    void TapText(int row, int col);
    // Replaces what a tool pane field holds by typing, as a person would.
    void Fill(int control, std::u16string_view text);
    // Taps Match case if it is not as wanted; whether it is as wanted then.
    bool SetMatchCase(bool on);
    // File Open with the name typed into the dialog's name field; answers
    // are the buttons pressed in the boxes that follow, in turn.
    void Open(const std::string& name, const std::vector<std::u16string>& answers = {});
    // File Save As likewise.
    void SaveAs(const std::string& name, const std::vector<std::u16string>& answers = {});
    // Ctrl+S; answers as for Open.
    void Save(const std::vector<std::u16string>& answers = {});

    // --- setting up ---
    // The text as opening a file leaves it: unchanged, the caret at its start.
    void Load(std::u16string_view text);
    void Select(int start, int end) { View()->GetEditCtrl().SetSel(start, end); }
    // The buttons to click in the next message boxes, in order.
    void Answer(const std::vector<std::u16string>& answers);

private:
    bool m_started = false;
};

}  // namespace support
