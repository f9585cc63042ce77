// A host without a terminal, for tests: input is a script of events, the
// screen is the canvas in memory, and beeps and message boxes are recorded.
//
// Events queue up and run through the same dispatch a terminal's do. When
// a modal loop (a dialog, a message box, a menu) waits and the script is
// empty, the next "on modal" step runs; it may look at the screen and queue
// the answer. A modal loop that finds nothing at all to do is a faulty
// script: it is counted as starved and the loop ends as if input ended.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/screen/Host.h"

class HeadlessHost : public Host {
public:
    struct MessageBoxRecord {
        std::u16string caption;
        std::u16string text;
        UINT type = 0;
    };

    explicit HeadlessHost(int cols = 80, int rows = 24) : m_cols(cols), m_rows(rows) {}

    CSize ScreenCells() const override { return {m_cols, m_rows}; }
    bool WaitEvent(InputEvent& event) override;
    void Present(const Canvas&) override {}
    void Beep(UINT type) override { m_beeps.push_back(type); }
    void NoteMessageBox(const std::u16string& caption, const std::u16string& text, UINT type) override
    {
        m_boxes.push_back({caption, text, type});
    }
    void ReportAtExit(const std::u16string& line) override { m_reports.push_back(line); }

    // --- the script ---
    void Key(UINT vk, char16_t ch = 0, bool ctrl = false, bool shift = false, bool alt = false);
    // Each character as the key a person types: "\r" or "\n" is Enter,
    // "\t" Tab, "\b" Backspace.
    void Type(std::u16string_view text);
    // A piece of text a terminal pasted ("\r" a line end); `first` for the
    // paste's first piece.
    void TerminalPaste(std::u16string_view text, bool first = true);
    void Ctrl(char letter) { Key(UINT(letter), char16_t(letter & 0x1F), true); }
    void Alt(char letter) { Key(UINT(letter), 0, false, false, true); }
    void Click(int x, int y);
    void Drag(int x0, int y0, int x1, int y1);
    // The mouse wheel over a cell: notches away from the user (up) when
    // positive, towards the user (down) when negative.
    void Wheel(int x, int y, int notches);
    void Resize(int cols, int rows);
    // The time the program asked to be woken at has come (Host::SetWakeTime).
    void Timer();
    // The end of the session, as a terminal host reports it: by the signal
    // (SIGHUP, SIGTERM), or 0 for a terminal that went away.
    void EndSession(int signal);
    // A click on the button that shows this text in the active window,
    // found when the click's turn comes; a button that does not show (cut
    // off by its dialog's frame) cannot be clicked.
    void ClickButton(std::u16string_view text);
    // A click on the first cell of the screen that shows this text, found
    // when the click's turn comes.
    void ClickText(std::u16string_view text);
    // Runs when a modal loop waits for input and the script is empty.
    void OnModal(std::function<void()> step) { m_onModal.push_back(std::move(step)); }

    // Dispatches the queued events, the way the program's loop would.
    void Run();

    // --- what a person can see and hear ---
    const Canvas& Screen();
    std::string Row(int y);
    std::string ScreenText();
    // The first cell showing text, or (-1, -1).
    CPoint Find(std::u16string_view text);
    const std::vector<UINT>& Beeps() const { return m_beeps; }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_boxes; }
    // The lines for after the end of the session.
    const std::vector<std::u16string>& Reports() const { return m_reports; }
    void ClearRecords()
    {
        m_beeps.clear();
        m_boxes.clear();
    }
    int Starved() const { return m_starved; }
    size_t Pending() const { return m_queue.size(); }

private:
    struct Step {
        InputEvent event;
        std::function<bool(InputEvent&)> resolve;  // fills event when its turn comes
    };
    bool Next(InputEvent& event);

    int m_cols;
    int m_rows;
    std::deque<Step> m_queue;
    std::deque<std::function<void()>> m_onModal;
    std::vector<UINT> m_beeps;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<std::u16string> m_reports;
    int m_starved = 0;
};
