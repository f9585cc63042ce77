#include "framework/app/MessageBox.h"

#include <algorithm>
#include <vector>

#include "framework/base/CharWidth.h"
#include "framework/win/DC.h"
#include "framework/win/DialogManager.h"
#include "framework/win/ModalSession.h"
#include "framework/win/Wnd.h"
#include "framework/win/WindowSystem.h"

namespace {

struct BoxButton {
    int id;
    const char16_t* text;
};

std::vector<BoxButton> ButtonsFor(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
    }
}

// Splits text into lines no wider than width cells, at blanks where possible.
std::vector<std::u16string> Wrap(std::u16string_view text, int width)
{
    std::vector<std::u16string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find(u'\n', pos);
        std::u16string_view para
            = text.substr(pos, nl == std::u16string_view::npos ? std::u16string_view::npos : nl - pos);
        while (TextCells(para) > width) {
            const size_t fit = std::max<size_t>(UnitsInCells(para, width), 1);
            size_t cut = para.rfind(u' ', fit);
            if (cut == std::u16string_view::npos || cut == 0)
                cut = fit;
            lines.emplace_back(para.substr(0, cut));
            para = para.substr(cut < para.size() && para[cut] == u' ' ? cut + 1 : cut);
        }
        lines.emplace_back(para);
        if (nl == std::u16string_view::npos)
            break;
        pos = nl + 1;
    }
    return lines;
}

// The message box's window: its buttons end it.
class MessageBoxWnd : public CWnd {
public:
    int m_result = 0;
    bool m_done = false;
    std::vector<BoxButton> m_buttons;
    std::vector<std::u16string> m_lines;
    UINT m_type = 0;

    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        int id = LOWORD(wParam);
        if (id == IDCANCEL
            && std::none_of(m_buttons.begin(), m_buttons.end(), [](const BoxButton& b) { return b.id == IDCANCEL; })) {
            // Esc closes a box with only OK as OK; a Yes/No box needs an answer.
            if (m_buttons.size() != 1)
                return TRUE;
            id = IDOK;
        }
        m_result = id;
        m_done = true;
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_CHAR) {
            char16_t c = char16_t(msg->wParam);
            if (c >= u'a' && c <= u'z')
                c = char16_t(c - u'a' + u'A');
            for (const BoxButton& b : m_buttons)
                if (b.text[0] == c) {
                    m_result = b.id;
                    m_done = true;
                    return TRUE;
                }
            return FALSE;
        }
        return IsDialogMessage(m_hWnd, msg);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            Default();  // the box's edges
            CPaintDC dc(this);
            int x = 2;
            if (m_type & MB_ICONMASK) {
                UINT icon = m_type & MB_ICONMASK;
                const char16_t* glyph = icon == MB_ICONEXCLAMATION ? u"/!\\"
                    : icon == MB_ICONHAND                          ? u"(X)"
                    : icon == MB_ICONQUESTION                      ? u"(?)"
                                                                   : u"(i)";
                dc.TextOut(2, 1, glyph, ATTR_BOLD);
                x = 7;
            }
            for (size_t i = 0; i < m_lines.size(); ++i)
                dc.TextOut(x, 1 + int(i), m_lines[i], ATTR_NORMAL);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type)
{
    WindowSystem& ws = WindowSystem::Get();
    if (Host* host = ws.GetHost())
        host->NoteMessageBox(caption.Str(), text.Str(), type);
    CSize screen = ws.GetHost() ? ws.GetHost()->ScreenCells() : CSize(80, 24);
    MessageBoxWnd box;
    box.m_type = type;
    box.m_buttons = ButtonsFor(type);
    int iconCols = (type & MB_ICONMASK) ? 5 : 0;
    int maxText = std::max(10, std::min(60, screen.cx - 6 - iconCols));
    box.m_lines = Wrap(text.View(), maxText);
    int textWidth = 0;
    for (const auto& l : box.m_lines)
        textWidth = std::max(textWidth, TextCells(l));
    const int buttonWidth = 10;
    int buttonsWidth = int(box.m_buttons.size()) * (buttonWidth + 2);
    // The text and the buttons decide the size, the caption only as far as
    // the screen is wide. A box larger than the screen shows cut, scrolled
    // to its focused button; the wheel and the frame's arrows show the rest.
    int cols = std::max(
        {textWidth + iconCols + 4, buttonsWidth + 4, 24, std::min(TextCells(caption.View()) + 6, screen.cx)});
    int rows = int(box.m_lines.size()) + 5;
    CSize px = Host::CellPixels();
    int x = std::max(0, (screen.cx - cols) / 2);
    int y = std::max(0, (screen.cy - rows) / 2);
    CREATESTRUCT cs;
    cs.lpszClass = u"#32770";
    cs.lpszName = caption;
    cs.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    cs.x = x * px.cx;
    cs.y = y * px.cy;
    cs.cx = cols * px.cx;
    cs.cy = rows * px.cy;
    cs.hwndParent = owner;
    ModalSession session(owner);
    HWND hwnd = AfxCreateWindow(&box, cs);
    if (!hwnd)
        return 0;
    session.SetWindow(hwnd);
    // Buttons centred in the row above the frame's bottom edge.
    int clientRows = rows - 1;
    int bx = (cols - buttonsWidth) / 2 + 1;
    size_t defIndex = (type & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
    HWND def = nullptr;
    for (size_t i = 0; i < box.m_buttons.size(); ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowEx(0, u"BUTTON", box.m_buttons[i].text, style, (bx + int(i) * (buttonWidth + 2)) * px.cx,
                                (clientRows - 2) * px.cy, buttonWidth * px.cx, px.cy, hwnd, UINT(box.m_buttons[i].id),
                                nullptr);
        if (i == defIndex || !def)
            def = i == defIndex ? b : def;
    }
    ShowWindow(hwnd, SW_SHOW);
    if (def)
        SetFocus(def);
    session.Run([&] { return box.m_done; });
    int result = box.m_done
        ? box.m_result
        : (std::any_of(box.m_buttons.begin(), box.m_buttons.end(), [](const BoxButton& b) { return b.id == IDCANCEL; })
               ? IDCANCEL
               : box.m_buttons.back().id);
    session.End();
    return result;
}
