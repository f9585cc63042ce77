#include "tests/support/HeadlessEditor.h"

#include "framework/res/Resources.h"
#include "tests/support/Text.h"

namespace support {

HeadlessEditor::HeadlessEditor(int cols, int rows) : HeadlessWindows(cols, rows)
{
    AfxSetResourceHandle(&TesselResources());
}

bool HeadlessEditor::Start(const std::vector<std::string>& args)
{
    std::vector<CString> argv;
    for (const auto& a : args)
        argv.push_back(CString::FromBytes(a));
    theApp.SetUp(u"/usr/local/bin/tessel", std::move(argv));
    m_started = true;
    return theApp.InitInstance() != FALSE;
}

void HeadlessEditor::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    if (CWnd* main = AfxGetMainWnd())
        main->DestroyWindow();
    theApp.ExitInstance();
}

std::pair<int, int> HeadlessEditor::Sel()
{
    int s = 0, e = 0;
    View()->GetEditCtrl().GetSel(s, e);
    return {s, e};
}

int HeadlessEditor::ToolRowHeight()
{
    int cur = 0, min = 0;
    Frame()->m_wndSplitter.GetRowInfo(0, cur, min);
    return cur;
}

std::vector<std::string> HeadlessEditor::HistoryList()
{
    std::vector<std::string> items;
    for (int i = 0; i < Tool()->m_comboFind.GetCount(); ++i) {
        CString s;
        Tool()->m_comboFind.GetLBText(i, s);
        items.push_back(s.ToUtf8());
    }
    return items;
}

void HeadlessEditor::Type(std::u16string_view text)
{
    host.Type(text);
    host.Run();
}

void HeadlessEditor::Key(UINT vk, bool ctrl, bool shift)
{
    host.Key(vk, 0, ctrl, shift);
    host.Run();
}

void HeadlessEditor::Ctrl(char letter)
{
    host.Ctrl(letter);
    host.Run();
}

void HeadlessEditor::Paste(std::u16string_view text)
{
    host.SetClipboardText(std::u16string(text));
    Ctrl('V');
}

void HeadlessEditor::Tap(int control)
{
    CPoint at = TapPoint(Tool()->GetDlgItem(control)->m_hWnd);
    host.Click(at.x, at.y);
    host.Run();
}

void HeadlessEditor::TapText(int row, int col)
{
    CRect cells = GetClientCells(View()->m_hWnd);
    host.Click(cells.left + col, cells.top + row);
    host.Run();
}

void HeadlessEditor::Fill(int control, std::u16string_view text)
{
    Tap(control);
    Key(VK_HOME);
    Key(VK_END, false, true);
    if (text.empty())
        Key(VK_DELETE);
    else
        Type(text);
}

bool HeadlessEditor::SetMatchCase(bool on)
{
    if (MatchCase() != on)
        Tap(IDC_MATCH_CASE);
    return MatchCase() == on;
}

void HeadlessEditor::Answer(const std::vector<std::u16string>& answers)
{
    for (const auto& a : answers)
        host.OnModal([this, a] { host.ClickButton(a); });
}

void HeadlessEditor::Open(const std::string& name, const std::vector<std::u16string>& answers)
{
    host.OnModal([this, name] { host.Type(U16(name) + u"\r"); });
    Answer(answers);
    Ctrl('O');
}

void HeadlessEditor::SaveAs(const std::string& name, const std::vector<std::u16string>& answers)
{
    host.OnModal([this, name] { host.Type(U16(name) + u"\r"); });
    Answer(answers);
    Command(ID_FILE_SAVE_AS);
    host.Run();
}

void HeadlessEditor::Save(const std::vector<std::u16string>& answers)
{
    Answer(answers);
    Ctrl('S');
}

void HeadlessEditor::Load(std::u16string_view text)
{
    View()->SetWindowText(CString(text));
    Doc()->SetModifiedFlag(FALSE);
}

}  // namespace support
