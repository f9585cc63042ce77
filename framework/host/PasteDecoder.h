// Bracketed paste: the text a terminal sends between its start marker
// (Esc [ 200 ~) and its end marker (Esc [ 201 ~), as Paste events.
//
// Pasted text is text: line ends become Enter's "\r" (a CR LF pair once),
// tabs stay tabs, and other control codes are dropped so that a paste
// cannot run commands; so are the characters no key yields. The text comes
// out in as few pieces as the terminal sends it in: whenever the host says
// so (Deliver) and at the end; only the first piece of a paste is marked
// first. TerminalKeyMap finds the markers and hands over the characters in
// between; the escape sequences among them are no text and never reach it.
#pragma once

#include <string>
#include <vector>

#include "framework/screen/InputEvent.h"

class PasteDecoder {
public:
    // The first parameter of the markers' CSI sequences (final byte '~').
    static constexpr int kStartMarker = 200;
    static constexpr int kEndMarker = 201;

    // Whether a paste is under way.
    bool Active() const { return m_active; }
    // The start marker. One inside a paste is part of the pasted text (a
    // log with escape codes in it): the paste goes on with all it has.
    void Start();
    // A character of the paste.
    void Take(char32_t c);
    // The text so far, as one Paste event (none when there is none).
    void Deliver(std::vector<InputEvent>& out);
    // The end marker, or a paste given up: the rest of its text comes out.
    void End(std::vector<InputEvent>& out);

private:
    bool m_active = false;
    bool m_afterCr = false;  // whether the last character was a CR
    bool m_first = false;    // whether nothing of the paste was delivered yet
    std::u16string m_text;   // the text not yet delivered
};
