// TextBuffer: UTF-16 text and the index of its line starts.
//
// Positions are code-unit offsets 0..Length(). Line ends are never
// converted: a line ends after every '\n', so "\r\n" and a lone "\n" both end
// a line, while a lone '\r' is an ordinary character. A line's length
// excludes its "\r\n" or "\n". An empty text has one line, and a text ending
// in a line end has an empty last line.
//
// Storage: the characters live in a gap buffer. Line starts (the positions
// after each '\n', plus 0) live in a second gap buffer whose entries before
// its gap are absolute positions and whose entries after the gap are stored
// relative to the end of the text (start - Length()). An edit first moves the
// line gap to the edit point; the text length then changes, and every line
// start after the edit shifts with it without being touched. So an edit
// costs only the gap movements, a line lookup is a binary search and a line
// start is read in O(1).
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/win/GapBuffer.h"

class TextBuffer {
public:
    TextBuffer();

    // ---- Content ----
    int Length() const { return static_cast<int>(m_text.Size()); }
    // The code unit at `pos`, which must lie in 0..Length()-1.
    char16_t operator[](int pos) const { return m_text[static_cast<std::size_t>(pos)]; }
    // The code unit at `pos`, or 0 outside 0..Length()-1.
    char16_t CharAt(int pos) const;
    // Copies up to `len` units from `pos` (both clamped to the text) to `out`;
    // returns how many were copied.
    int CopyRange(int pos, int len, char16_t* out) const;
    std::u16string GetRange(int pos, int len) const;
    // The whole text as two contiguous pieces, in order (either may be
    // empty), for reading it without a copy. Valid until the next change.
    std::pair<std::u16string_view, std::u16string_view> Pieces() const;
    // Whether a change of the text is under way: its pieces may then hold
    // neither the text before it nor the text after it. Async-signal-safe,
    // for a reader that may interrupt any change (a crash handler).
    bool Changing() const { return m_text.Changing(); }

    // ---- Changes ----
    void SetText(std::u16string_view text);
    using Storage = GapBuffer<char16_t>::Storage;
    // Takes a text built elsewhere; its spare capacity becomes the gap.
    void Assign(Storage&& units);
    // Reads a text of one unit a byte, each byte the unit of the same value,
    // in one pass that widens the bytes and indexes the lines, into storage
    // sized once for `expected` bytes: read(dest, count) writes up to count
    // bytes at dest and returns how many it wrote, 0 at the end. More than
    // `most` bytes, or a zero byte, leave the text as it was.
    using ReadBytes = std::function<std::size_t(unsigned char* dest, std::size_t count)>;
    struct ByteLoad {
        bool tooLong = false;  // more than `most` bytes came
        bool zero = false;     // a zero byte came
        bool tabs = false;     // the text holds a tab
        bool Loaded() const { return !tooLong && !zero; }
    };
    ByteLoad LoadBytes(std::size_t expected, std::size_t most, const ReadBytes& read);
    // Replaces [pos, pos + removeLen) with `insert`, keeping the index in step.
    void Replace(int pos, int removeLen, std::u16string_view insert);
    // The whole text, contiguous, for changes in place that keep its length;
    // hold a ChangeMark while making them, and call RebuildLineIndex after
    // them if they moved a '\n'.
    std::span<char16_t> Flatten() { return m_text.Flatten(); }
    // Marks the text as changing (Changing) for as long as it lives.
    class ChangeMark {
    public:
        explicit ChangeMark(TextBuffer& text) : m_mark(text.m_text) {}

    private:
        GapBuffer<char16_t>::ChangeMark m_mark;
    };
    void RebuildLineIndex();

    // ---- Lines ----
    int LineCount() const { return static_cast<int>(m_lines.Size()); }
    // Line containing `pos` (clamped to 0..Length()). The position right
    // after a line end belongs to the next line.
    int LineFromChar(int pos) const;
    // Start of `line`, which must exist.
    int LineStart(int line) const;
    // Start of `line`, or -1 when there is no such line.
    int LineIndex(int line) const;
    // Length of `line` without its line end; 0 when there is no such line.
    int LineLength(int line) const;
    // Position of the end of `line` (before its line end), or -1.
    int LineEnd(int line) const;

    // How much of `text` goes in where there is room for `room` units: all of
    // it if it fits, else the longest prefix that neither exceeds `room` nor
    // ends between the halves of a surrogate pair or of a "\r\n".
    static std::size_t FitPrefix(std::u16string_view text, int room);

private:
    void MoveLineGap(int index);

    GapBuffer<char16_t> m_text;
    GapBuffer<int> m_lines;  // line starts; see the file comment
};
