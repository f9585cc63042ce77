// CFormView: a view laid out by a dialog template (a child dialog), with
// the dialog manager's keyboard interface for its controls.
#pragma once

#include "framework/app/View.h"

class CFormView : public CView {
    DECLARE_DYNAMIC(CFormView)
public:
    explicit CFormView(UINT templateId) : m_nIDTemplate(templateId) {}

    BOOL Create(const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect, CWnd* parent,
                UINT id, CCreateContext* context = nullptr) override;
    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_nIDTemplate;
    void OnSetFocus(CWnd* old);

    DECLARE_MESSAGE_MAP()
};
