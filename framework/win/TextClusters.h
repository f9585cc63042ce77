// TextClusters: the characters a person sees in a text, as ICU's grapheme
// break rules find them: a base with its combining marks, a surrogate pair,
// an emoji with its modifiers and joined emoji, a pair of regional
// indicators (a flag), "\r\n". A unit U+DC80..U+DCFF standing for a byte of
// a file that is no UTF-8 is a surrogate on its own, which the rules never
// join to anything.
//
// Each step reads only a window around the position, never the whole text
// or the whole line: the window reaches back and on to places where a
// character surely begins (around text below the combining marks, such as
// ASCII and Latin-1, and line ends), at most
// kReach units each way. A single character longer than that (hundreds of
// stacked marks) is cut there.
//
// Edit controls take this way of stepping in a UTF-8 session
// (SetClusterEditing, which the session's encoding sets).
#pragma once

#include <memory>
#include <string>

#include "framework/win/TextEngine.h"

struct UBreakIterator;

class TextClusters : public TextEngine::CharacterBoundaries {
public:
    static constexpr int kReach = 128;  // a multiple of four (TextClusters.cpp)

    TextClusters();
    ~TextClusters() override;
    TextClusters(const TextClusters&) = delete;
    TextClusters& operator=(const TextClusters&) = delete;

    int Next(const TextEngine& text, int pos) const override;
    int Prev(const TextEngine& text, int pos) const override;

private:
    struct CloseIterator {
        void operator()(UBreakIterator* iterator) const;
    };

    // Sets the iterator on the units [from, to) of the text.
    void Window(const TextEngine& text, int from, int to) const;

    // Opened by the first Window.
    mutable std::unique_ptr<UBreakIterator, CloseIterator> m_iterator;
    mutable std::u16string m_window;
};

// Whether edit controls made from now on step by TextClusters and measure
// columns by each character's cells (a UTF-8 session), or step by units
// with one cell each (8-bit, the default).
void SetClusterEditing(bool on);
bool ClusterEditing();
