#include "editor/ToolView.h"

#include "editor/TesseraView.h"
#include "editor/res/resource.h"
#include "framework/app/DataExchange.h"
#include "framework/app/SplitterWnd.h"
#include "framework/app/WinApp.h"
#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNCREATE(CToolView, CFormView)

BEGIN_MESSAGE_MAP(CToolView, CFormView)
    ON_BN_CLICKED(IDC_FIND, OnFindButton)
    ON_BN_CLICKED(IDC_REPLACE, OnReplaceButton)
    ON_BN_CLICKED(IDC_REPLACE_ALL, OnReplaceAllButton)
    ON_BN_CLICKED(IDC_GOTO, OnGotoButton)
    ON_BN_CLICKED(IDC_TOOL_CANCEL, OnCancelButton)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CToolView::CToolView()
    : CFormView(IDD_TOOLVIEW),
      m_bMatchCase(FALSE),
      m_nLine(1),
      m_pEditView(nullptr),
      m_pSplitter(nullptr),
      m_bGotoMode(FALSE),
      m_bFindMode(FALSE)
{}

CToolView::~CToolView() = default;

void CToolView::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_MATCH_CASE, m_bMatchCase);
    DDX_CBString(pDX, IDC_FIND_TEXT, m_strFind);
    // The line field is read only while the go-to form shows it: Find and
    // Replace must not stumble over a field the user cannot see.
    if (!pDX->m_bSaveAndValidate || GetMode() == Mode::Goto)
        DDX_Text(pDX, IDC_LINE_NUMBER, m_nLine);
    DDX_Text(pDX, IDC_REPLACE_TEXT, m_strReplace);
    DDX_Control(pDX, IDC_FIND_TEXT, m_comboFind);
}

void CToolView::ShowControl(int id, int cmd)
{
    if (CWnd* control = GetDlgItem(id))
        control->ShowWindow(cmd);
}

namespace {

// The controls of the two forms, and the form each belongs to.
struct FormControl {
    int id;
    CToolView::Mode form;
};
constexpr FormControl kFormControls[] = {
    {IDC_FIND_TEXT, CToolView::Mode::Find},    {IDC_MATCH_CASE, CToolView::Mode::Find},
    {IDC_FIND_LABEL, CToolView::Mode::Find},   {IDC_GOTO_LABEL, CToolView::Mode::Goto},
    {IDC_GOTO, CToolView::Mode::Goto},         {IDC_FIND, CToolView::Mode::Find},
    {IDC_LINE_NUMBER, CToolView::Mode::Goto},  {IDC_TOOL_CANCEL, CToolView::Mode::Find},
    {IDC_REPLACE_ALL, CToolView::Mode::Find},  {IDC_REPLACE, CToolView::Mode::Find},
    {IDC_REPLACE_TEXT, CToolView::Mode::Find}, {IDC_REPLACE_LABEL, CToolView::Mode::Find},
};

}  // namespace

int CToolView::RowHeight(Mode mode)
{
    switch (mode) {
    case Mode::Find: return kFindRowHeight;
    case Mode::Goto: return kGotoRowHeight;
    default: return kIdleRowHeight;
    }
}

void CToolView::SizeRows(CSplitterWnd& splitter, Mode mode, int totalHeight)
{
    int upper = RowHeight(mode);
    splitter.SetRowInfo(0, upper, 0);
    splitter.SetRowInfo(1, totalHeight - upper, 0);
}

CToolView::Mode CToolView::GetMode() const { return m_bFindMode ? Mode::Find : m_bGotoMode ? Mode::Goto : Mode::Idle; }

void CToolView::SetMode(Mode mode)
{
    m_bGotoMode = mode == Mode::Goto;
    m_bFindMode = mode == Mode::Find;
}

void CToolView::ShowForm(Mode mode, bool indicatorToo)
{
    for (const FormControl& c : kFormControls)
        ShowControl(c.id, c.form == mode ? SW_SHOWNORMAL : SW_HIDE);
    if (indicatorToo)
        ShowControl(IDC_LINE_INDICATOR, mode == Mode::Idle ? SW_SHOWNORMAL : SW_HIDE);
}

void CToolView::AttachViews(CTesseraView* pEditView, CSplitterWnd* pSplitter)
{
    m_pEditView = pEditView;
    m_pSplitter = pSplitter;
    HideAllControls();
}

void CToolView::HideAllControls() { ShowForm(Mode::Idle, false); }

void CToolView::ShowFindControls()
{
    m_comboFind.ShowWindow(SW_SHOWNORMAL);
    m_pEditView->m_findHistory.FillCombo(m_comboFind);
    if (!m_strFind.IsEmpty())
        m_comboFind.SetWindowText(m_strFind);
    else
        m_comboFind.SetCurSel(0);
    m_comboFind.SetFocus();
    ShowForm(Mode::Find, true);
    // Replace and Replace all wait for a Find that selects something.
    GetDlgItem(IDC_REPLACE_ALL)->EnableWindow(FALSE);
    GetDlgItem(IDC_REPLACE)->EnableWindow(FALSE);
    SetMode(Mode::Find);
}

void CToolView::ShowGotoControls()
{
    CWnd* line = GetDlgItem(IDC_LINE_NUMBER);
    line->ShowWindow(SW_SHOWNORMAL);
    line->SetWindowText(u"");
    line->SetFocus();
    ShowForm(Mode::Goto, true);
    SetMode(Mode::Goto);
}

void CToolView::ShowLineNumber(int nLine)
{
    CString text;
    text.Format(u"Line %d", nLine);
    CWnd* indicator = GetDlgItem(IDC_LINE_INDICATOR);
    indicator->SetWindowText(text);
    // While a form is up the indicator's place is the form's; it shows the
    // latest line again when the pane returns to idle.
    if (GetMode() == Mode::Idle)
        indicator->ShowWindow(SW_SHOWNORMAL);
}

void CToolView::ReturnToIdle()
{
    SetMode(Mode::Idle);
    HideAllControls();
    ShowControl(IDC_LINE_INDICATOR, SW_SHOWNORMAL);
    m_pEditView->SetFocus();
    CRect rect;
    m_pSplitter->GetWindowRect(&rect);
    SizeRows(*m_pSplitter, Mode::Idle, rect.bottom - rect.top);
    m_pSplitter->RecalcLayout();
}

void CToolView::RefuseEmptyFind()
{
    MessageBeep(MB_ICONEXCLAMATION);
    m_comboFind.SetFocus();
}

void CToolView::OnFindButton()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strFind.IsEmpty()) {
        RefuseEmptyFind();
        return;
    }
    m_pEditView->SetFocus();
    // Searching starts at the caret wherever it stands, the very start of
    // the text included.
    m_pEditView->OnFindNext(m_strFind, TRUE, m_bMatchCase);

    int start = 0, end = 0;
    m_pEditView->GetEditCtrl().GetSel(start, end);
    GetDlgItem(IDC_REPLACE_ALL)->EnableWindow(start != end);
    GetDlgItem(IDC_REPLACE)->EnableWindow(start != end);

    if (m_strFind.Compare(m_strLastFind) != 0)
        m_pEditView->m_findHistory.Append(m_strFind);
    m_strLastFind = m_strFind;
    SetMode(Mode::Find);
}

void CToolView::OnReplaceButton()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strFind.IsEmpty()) {
        RefuseEmptyFind();
        return;
    }
    m_pEditView->OnReplaceSel(m_strFind, TRUE, m_bMatchCase, m_strReplace);
}

void CToolView::OnReplaceAllButton()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strFind.IsEmpty()) {
        RefuseEmptyFind();
        return;
    }
    m_pEditView->OnReplaceAll(m_strFind, m_strReplace, m_bMatchCase);
    ReturnToIdle();
    m_pEditView->ReportCaretLine();
}

void CToolView::OnGotoButton()
{
    if (!UpdateData(TRUE))
        return;
    int n = m_nLine;
    if (n < 1) {
        CString message;
        message.LoadString(IDS_LINE_TOO_SMALL);
        AfxMessageBox(message, MB_OK);
        return;
    }
    CEdit& edit = m_pEditView->GetEditCtrl();
    int k = edit.LineFromChar(-1);
    int count = edit.GetLineCount();
    if (n > count) {
        CString message;
        message.LoadString(IDS_LINE_TOO_BIG);
        AfxMessageBox(message, MB_OK);
        return;
    }
    edit.LineScroll((n - 1) - k, 0);
    int i = edit.LineIndex(n - 1);
    ReturnToIdle();
    edit.SetSel(i, i);
    ShowLineNumber(n);
}

void CToolView::OnCancelButton()
{
    ReturnToIdle();
    int start = 0, end = 0;
    CEdit& edit = m_pEditView->GetEditCtrl();
    edit.GetSel(start, end);
    if (start == end)
        ShowLineNumber(edit.LineFromChar(start) + 1);
}

HWND CToolView::FocusedField() const
{
    HWND focus = ::GetFocus();
    if (!focus || !::IsChild(m_hWnd, focus) || ::GetClassName(focus).CompareNoCase(u"EDIT") != 0)
        return nullptr;
    return focus;
}

BOOL CToolView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0
        && GetKeyState(VK_SHIFT) >= 0) {
        UINT key = UINT(pMsg->wParam);
        HWND field = FocusedField();
        if (field && (key == 'X' || key == 'C' || key == 'V' || key == 'Z')) {
            // The field's own keyboard handling: the key, then its control
            // character.
            ::SendMessage(field, WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
            if (::IsWindow(field))
                ::SendMessage(field, WM_CHAR, WPARAM(key - 'A' + 1), pMsg->lParam);
            return TRUE;
        }
    }
    return CFormView::PreTranslateMessage(pMsg);
}

void CToolView::OnChar(UINT, UINT, UINT) { Default(); }

void CToolView::OnKeyDown(UINT, UINT, UINT) { Default(); }
