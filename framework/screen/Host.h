// The Host is everything outside the process's own logic: the stream of
// input events, the screen, beeps, the clipboard. The window system turns
// its events into window messages and paints into its canvas.
//
// Two hosts exist: HeadlessHost (scripted input, an in-memory screen, for
// tests) and TerminalHost (ncursesw).
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "framework/base/Geometry.h"
#include "framework/base/Types.h"
#include "framework/screen/Canvas.h"
#include "framework/screen/InputEvent.h"

class Host {
public:
    virtual ~Host() = default;

    // Screen size in character cells.
    virtual CSize ScreenCells() const = 0;
    // How many pixels one cell stands for. Window geometry is in pixels.
    static constexpr CSize CellPixels() { return {10, 16}; }

    // Waits for the next input event. Returns false when input has ended
    // (end of the terminal, or a scripted test that has run out of events).
    virtual bool WaitEvent(InputEvent& event) = 0;
    // When the program next has work of its own to do without input (a
    // recovery journal to write): a wait for input that lasts until then
    // ends with a Timer event. None: the wait is for input alone.
    virtual void SetWakeTime(std::optional<std::chrono::steady_clock::time_point> /*when*/) {}
    // Shows the canvas.
    virtual void Present(const Canvas& canvas) = 0;
    // Whether more input events are already waiting (a paste, fast
    // typing): the screen can then wait a moment before it is drawn again.
    // A host may read input to tell; input that makes no event (the end
    // marker of a paste, say) does not count, so that the screen is drawn
    // as soon as the last event is dispatched.
    virtual bool InputPending() { return false; }
    // MessageBeep: 0 the default sound, MB_ICONEXCLAMATION the warning.
    virtual void Beep(UINT type) = 0;

    virtual void SetClipboardText(const std::u16string& text) { m_clipboard = text; }
    virtual std::optional<std::u16string> GetClipboardText() const { return m_clipboard; }
    // Whether the clipboard holds text, without copying it: asked on every
    // repaint for the Paste command. A host that keeps the clipboard
    // elsewhere overrides this with GetClipboardText.
    virtual bool HasClipboardText() const { return m_clipboard.has_value(); }

    // A line for the person at the terminal when the session has ended (where
    // unsaved text went), shown once the screen is given back: the terminal
    // host writes it on standard error after restoring the terminal.
    virtual void ReportAtExit(const std::u16string& /*line*/) {}

    // Notes a message box as it opens, so tests can check what was said.
    virtual void NoteMessageBox(const std::u16string& /*caption*/, const std::u16string& /*text*/, UINT /*type*/) {}

protected:
    std::optional<std::u16string> m_clipboard;
};
