// The tool pane above the text. At rest it shows the caret's line; the
// Tools commands turn it into a find-and-replace form or a go-to-line form.
#pragma once

#include "framework/app/FormView.h"
#include "framework/win/Controls.h"

class CTesseraView;
class CSplitterWnd;

class CToolView : public CFormView {
    DECLARE_DYNCREATE(CToolView)
public:
    CToolView();
    ~CToolView() override;

    // What the pane shows: the line indicator, the find-and-replace form or
    // the go-to-line form.
    enum class Mode { Idle, Find, Goto };

    // The heights in pixels of the splitter's upper row in each mode.
    static constexpr int kIdleRowHeight = 22;
    static constexpr int kFindRowHeight = 96;
    static constexpr int kGotoRowHeight = 32;
    static int RowHeight(Mode mode);
    // Gives the splitter's upper row the mode's height and the lower row the
    // rest of totalHeight (both with minimum 0); the caller lays it out.
    static void SizeRows(CSplitterWnd& splitter, Mode mode, int totalHeight);

    void AttachViews(CTesseraView* pEditView, CSplitterWnd* pSplitter);
    void ShowFindControls();
    void ShowGotoControls();
    void HideAllControls();
    void ShowLineNumber(int nLine);

    BOOL m_bMatchCase;
    CString m_strFind;
    CString m_strReplace;
    CComboBox m_comboFind;
    int m_nLine;
    CTesseraView* m_pEditView;
    CSplitterWnd* m_pSplitter;
    // The mode as two flags, never both TRUE; SetMode is their only writer.
    BOOL m_bGotoMode;
    BOOL m_bFindMode;
    CString m_strLastFind;

    Mode GetMode() const;

    // Ctrl+X, Ctrl+C, Ctrl+V and Ctrl+Z typed in one of the form's fields
    // act on that field, before the frame could take them for its commands.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnFindButton();
    void OnReplaceButton();
    void OnReplaceAllButton();
    void OnGotoButton();
    void OnCancelButton();
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    DECLARE_MESSAGE_MAP()

private:
    void SetMode(Mode mode);
    // Shows the controls of the mode's form and hides the others'; the line
    // indicator shows in idle mode only, and HideAllControls leaves it be.
    void ShowForm(Mode mode, bool indicatorToo);
    // Enters idle mode: hides the forms, gives the text the focus and
    // shrinks the row.
    void ReturnToIdle();
    void ShowControl(int id, int cmd);
    // The empty find text's refusal: the warning beep, focus to the field.
    void RefuseEmptyFind();
    // The form's text field that has the keyboard focus (the find text's
    // field included), or nullptr.
    HWND FocusedField() const;
};
