// CDialog: a window made from a dialog template, run modally by DoModal.
// OK and Cancel end it; the dialog manager gives it Tab, Enter and Esc.
#pragma once

#include "framework/win/Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns the end code, or -1 if the
    // dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;
    // Dialog units of this dialog's font made pixels, as its template's
    // controls are placed.
    void MapDialogRect(CRect* rect) const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    int m_nModalResult = -1;
    bool m_bModalDone = false;

    DECLARE_MESSAGE_MAP()
};
