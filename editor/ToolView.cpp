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
{
}

CToolView::~CToolView() = default;

void CToolView::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_MATCH_CASE, m_bMatchCase);
    DDX_CBString(pDX, IDC_FIND_TEXT, m_strFind);
    // The line field is read only while the go-to form shows it: Find and
    // Replace must not stumble over a field the user cannot see.
    if (!pDX->m_bSaveAndValidate || m_bGotoMode)
        DDX_Text(pDX, IDC_LINE_NUMBER, m_nLine);
    DDX_Text(pDX, IDC_REPLACE_TEXT, m_strReplace);
    DDX_Control(pDX, IDC_FIND_TEXT, m_comboFind);
}

void CToolView::ShowControl(int id, int cmd)
{
    if (CWnd* control = GetDlgItem(id))
        control->ShowWindow(cmd);
}

void CToolView::AttachViews(CTesseraView* pEditView, CSplitterWnd* pSplitter)
{
    m_pEditView = pEditView;
    m_pSplitter = pSplitter;
    HideAllControls();
}

void CToolView::HideAllControls()
{
    static const int controls[] = {IDC_FIND_TEXT, IDC_MATCH_CASE, IDC_FIND_LABEL, IDC_GOTO_LABEL,
                                   IDC_GOTO,      IDC_FIND,       IDC_LINE_NUMBER, IDC_TOOL_CANCEL,
                                   IDC_REPLACE_ALL, IDC_REPLACE,  IDC_REPLACE_TEXT, IDC_REPLACE_LABEL};
    for (int id : controls)
        ShowControl(id, SW_HIDE);
}

void CToolView::ShowFindControls()
{
    m_comboFind.ShowWindow(SW_SHOWNORMAL);
    m_pEditView->m_findHistory.FillCombo(m_comboFind);
    if (!m_strFind.IsEmpty())
        m_comboFind.SetWindowText(m_strFind);
    else
        m_comboFind.SetCurSel(0);
    m_comboFind.SetFocus();

    ShowControl(IDC_MATCH_CASE, SW_SHOWNORMAL);
    ShowControl(IDC_FIND_LABEL, SW_SHOWNORMAL);
    ShowControl(IDC_GOTO_LABEL, SW_HIDE);
    ShowControl(IDC_GOTO, SW_HIDE);
    ShowControl(IDC_FIND, SW_SHOWNORMAL);
    ShowControl(IDC_LINE_NUMBER, SW_HIDE);
    ShowControl(IDC_TOOL_CANCEL, SW_SHOWNORMAL);
    ShowControl(IDC_REPLACE_ALL, SW_SHOWNORMAL);
    GetDlgItem(IDC_REPLACE_ALL)->EnableWindow(FALSE);
    ShowControl(IDC_REPLACE, SW_SHOWNORMAL);
    GetDlgItem(IDC_REPLACE)->EnableWindow(FALSE);
    ShowControl(IDC_REPLACE_TEXT, SW_SHOWNORMAL);
    ShowControl(IDC_REPLACE_LABEL, SW_SHOWNORMAL);
    ShowControl(IDC_LINE_INDICATOR, SW_HIDE);

    m_bGotoMode = FALSE;
    m_bFindMode = TRUE;
}

void CToolView::ShowGotoControls()
{
    ShowControl(IDC_FIND_TEXT, SW_HIDE);
    ShowControl(IDC_LINE_INDICATOR, SW_HIDE);
    ShowControl(IDC_MATCH_CASE, SW_HIDE);
    ShowControl(IDC_FIND_LABEL, SW_HIDE);
    ShowControl(IDC_GOTO_LABEL, SW_SHOWNORMAL);
    ShowControl(IDC_GOTO, SW_SHOWNORMAL);
    ShowControl(IDC_FIND, SW_HIDE);
    ShowControl(IDC_TOOL_CANCEL, SW_HIDE);
    CWnd* line = GetDlgItem(IDC_LINE_NUMBER);
    line->ShowWindow(SW_SHOWNORMAL);
    line->SetWindowText(u"");
    line->SetFocus();
    ShowControl(IDC_REPLACE_ALL, SW_HIDE);
    ShowControl(IDC_REPLACE, SW_HIDE);
    ShowControl(IDC_REPLACE_TEXT, SW_HIDE);
    ShowControl(IDC_REPLACE_LABEL, SW_HIDE);

    m_bGotoMode = TRUE;
    m_bFindMode = FALSE;
}

void CToolView::ShowLineNumber(int nLine)
{
    CString text;
    text.Format(u"Line %d", nLine);
    CWnd* indicator = GetDlgItem(IDC_LINE_INDICATOR);
    indicator->SetWindowText(text);
    // While a form is up the indicator's place is the form's; it shows the
    // latest line again when the pane returns to idle.
    if (!m_bFindMode && !m_bGotoMode)
        indicator->ShowWindow(SW_SHOWNORMAL);
}

void CToolView::ReturnToIdle()
{
    HideAllControls();
    ShowControl(IDC_LINE_INDICATOR, SW_SHOWNORMAL);
    m_pEditView->SetFocus();
    CRect rect;
    m_pSplitter->GetWindowRect(&rect);
    int height = rect.bottom - rect.top;
    m_pSplitter->SetRowInfo(0, kIdleRowHeight, 0);
    m_pSplitter->SetRowInfo(1, height - kIdleRowHeight, 0);
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

    m_bGotoMode = FALSE;
    m_bFindMode = TRUE;
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
    m_bGotoMode = FALSE;
    m_bFindMode = FALSE;
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
    m_bGotoMode = FALSE;
    m_bFindMode = FALSE;
    ReturnToIdle();
    edit.SetSel(i, i);
    ShowLineNumber(n);
}

void CToolView::OnCancelButton()
{
    m_bGotoMode = FALSE;
    m_bFindMode = FALSE;
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
    if (pMsg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 &&
        GetKeyState(VK_SHIFT) >= 0) {
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
