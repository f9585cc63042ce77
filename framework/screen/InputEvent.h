// One event of input as a host delivers it: a key press, a mouse action at a
// screen cell, a run of pasted text, a new screen size, the end of the
// session, or the end of input. The window system turns it into window
// messages.
#pragma once

#include <string>

#include "framework/base/Types.h"
#include "framework/base/WinUser.h"

struct InputEvent {
    // EndSession: the terminal went away or the program was told to end
    // (a hang-up or termination signal); no input follows it. Timer: the
    // time the program asked to be woken at (Host::SetWakeTime) came before
    // any input.
    enum class Kind { Key, MouseDown, MouseUp, MouseMove, Wheel, Resize, Quit, EndSession, Paste, Timer };
    Kind kind = Kind::Key;
    // Key: the virtual key, the character it yields (0 for none) and the
    // modifiers held.
    UINT vk = 0;
    char16_t ch = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    // Mouse and Wheel: the cell; Resize: the new size in cells; EndSession:
    // x is the signal that ended it (SIGHUP, SIGTERM), 0 when the terminal
    // went away.
    int x = 0;
    int y = 0;
    // Wheel: notches turned, positive away from the user (up).
    int notches = 0;
    // Paste: a piece of the text the terminal pasted, as typed keys would
    // give it: line ends as "\r" (Enter), tabs, and no other control
    // codes; `first` for the paste's first piece (a paste may come in
    // several).
    std::u16string text;
    bool first = false;

    // A key press: the virtual key, the character it yields (0 for none)
    // and the modifiers held.
    static InputEvent KeyPress(UINT vk, char16_t ch, bool ctrl = false, bool shift = false, bool alt = false)
    {
        InputEvent key;
        key.vk = vk;
        key.ch = ch;
        key.ctrl = ctrl;
        key.shift = shift;
        key.alt = alt;
        return key;
    }

    // The key press that types c, no modifier held but Shift for a
    // capital: Enter for "\r", Tab, a letter's, a digit's or the space
    // bar's key; any other character comes with no key (vk 0).
    static InputEvent Typing(char16_t c)
    {
        InputEvent key;
        key.ch = c;
        if (c == u'\r')
            key.vk = VK_RETURN;
        else if (c == u'\t')
            key.vk = VK_TAB;
        else if (c >= u'a' && c <= u'z')
            key.vk = UINT(c - u'a' + u'A');
        else if (c >= u'A' && c <= u'Z') {
            key.vk = UINT(c);
            key.shift = true;
        } else if ((c >= u'0' && c <= u'9') || c == u' ')
            key.vk = UINT(c);
        return key;
    }
};
