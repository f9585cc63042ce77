#include "framework/app/Dialog.h"

#include "framework/app/WinApp.h"
#include "framework/res/Resources.h"
#include "framework/win/DialogManager.h"
#include "framework/win/DialogUnits.h"
#include "framework/win/ModalSession.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

INT_PTR CDialog::DoModal()
{
    const res::DialogTemplate* tmpl = res::FindDialog(m_nIDTemplate);
    if (!tmpl)
        return -1;
    // The owner: the given parent's window, else the main window unless that
    // is this dialog itself.
    HWND owner = m_pParentWnd ? GetTopLevel(m_pParentWnd->m_hWnd) : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            owner = GetTopLevel(main->m_hWnd);
    }
    ModalSession session(owner);
    m_bModalDone = false;
    m_nModalResult = -1;
    HWND hwnd = CreateDialogIndirect(*tmpl, owner, this);
    if (!hwnd)
        return -1;
    session.SetWindow(hwnd);
    BOOL setFocus = BOOL(SendMessage(WM_INITDIALOG, 0, 0));
    if (IsWindow(hwnd) && !m_bModalDone) {
        ::ShowWindow(hwnd, SW_SHOW);
        // The first tab stop takes the focus when OnInitDialog asks for it,
        // and also when the dialog would otherwise open with the focus
        // outside it (OnInitDialog failed, or set none): as the active
        // window, the dialog always holds the keyboard.
        HWND focus = ::GetFocus();
        if (setFocus || !focus || (focus != hwnd && !::IsChild(hwnd, focus))) {
            if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE))
                FocusDialogControl(first);
        }
        session.Run([&] { return m_bModalDone; });
    }
    if (!m_bModalDone)
        m_nModalResult = IDCANCEL;
    session.End();
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_bModalDone = true;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) { return IsDialogMessage(m_hWnd, msg); }

void CDialog::MapDialogRect(CRect* rect) const { *rect = ::MapDialogRect(*rect); }

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }
