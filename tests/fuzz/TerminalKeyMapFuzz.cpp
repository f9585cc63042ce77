// Feeds the terminal key map what a terminal may send, as the terminal host
// does: bytes (escape sequences, broken UTF-8, paste markers, mouse reports
// in the SGR and X10 encodings) and now and then a curses key code, with
// pauses (Flush) and ends of what was read at once (EndOfInput) at places
// the input decides. Whatever comes out must be a well-formed event, and a
// well-formed bracketed paste must come out as exactly its text, in pieces
// of which only the first is marked first, wherever the pauses fall
// inside it and whatever start markers it holds.
//
// The input is read as a stream a terminal sends, so that seeds can be
// written by hand. The first byte seeds the pauses. The rest is cut at the
// first paste start marker (Esc [ 200 ~) and the next end marker after it
// (Esc [ 201 ~): before the start and after the end come raw bytes, in which
// 0xFF and the byte after it stand for a curses key code (0x100 + that
// byte). Between the markers is the paste: its bytes are made well-formed
// text first (what is no UTF-8, and control codes other than CR, LF and
// tab, are taken out), since only text has an exact outcome; the start
// markers in it stay where they were, and no text may be lost to them (a
// pasted log with escape codes holds such markers). The terminal
// is quiet for long before the paste (Flush, then EndPaste), so that
// nothing open before it runs into it, and pauses briefly after it; pauses
// inside the paste's text and end marker fall anywhere (none inside its
// start marker, which terminals send at once).
//
// Any disagreement prints what was fed and aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/String.h"
#include "framework/base/Utf16.h"
#include "framework/host/TerminalKeyMap.h"

namespace {

constexpr std::string_view kPasteStart = "\x1B[200~";
constexpr std::string_view kPasteEnd = "\x1B[201~";

std::string Shown(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += char(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string Shown(const InputEvent& e)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "{kind %d vk %u ch U+%04X ctrl %d shift %d alt %d x %d y %d notches %d first %d} ",
                  int(e.kind), e.vk, unsigned(e.ch), e.ctrl, e.shift, e.alt, e.x, e.y, e.notches, e.first);
    return buf + Shown(CString(e.text).ToUtf8());
}

// The pauses: a small generator seeded by the input's first byte.
class Pauses {
public:
    explicit Pauses(uint8_t seed) : m_state(0x9E3779B9u ^ (uint32_t(seed) * 0x85EBCA6Bu)) {}
    // Whether the terminal pauses before the next byte: about one byte in
    // (seed & 7) + 2.
    bool Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state % m_every == 0;
    }
    void SetEvery(uint32_t every) { m_every = every; }

private:
    uint32_t m_state;
    uint32_t m_every = 3;
};

struct Run {
    TerminalKeyMap map;
    std::vector<InputEvent> out;
    std::string fed;   // what was fed, for the report
    std::string what;  // the step under way

    [[noreturn]] void Fail(const std::string& why)
    {
        std::fprintf(stderr, "\n*** %s (%s)\nfed: %s\nevents:\n", why.c_str(), what.c_str(), Shown(fed).c_str());
        for (const InputEvent& e : out)
            std::fprintf(stderr, "  %s\n", Shown(e).c_str());
        std::abort();
    }

    void Check(size_t from)
    {
        for (size_t i = from; i < out.size(); ++i) {
            const InputEvent& e = out[i];
            switch (e.kind) {
            case InputEvent::Kind::Key:
                if (e.vk == 0 && e.ch == 0)
                    Fail("a key without a key code or character");
                break;
            case InputEvent::Kind::MouseDown:
            case InputEvent::Kind::MouseUp:
            case InputEvent::Kind::MouseMove:
                if (e.x < 0 || e.y < 0)
                    Fail("a mouse event off the screen");
                break;
            case InputEvent::Kind::Wheel:
                if (e.x < 0 || e.y < 0 || (e.notches != 1 && e.notches != -1))
                    Fail("a wheel event other than one notch on the screen");
                break;
            case InputEvent::Kind::Paste:
                if (e.text.empty())
                    Fail("an empty piece of a paste");
                for (char16_t c : e.text)
                    if ((c < 0x20 && c != u'\r' && c != u'\t') || (c >= 0x7F && c < 0xA0))
                        Fail("a control code in a paste");
                break;
            default: Fail("an event the key map never makes");
            }
        }
    }

    void Byte(unsigned char b)
    {
        fed += char(b);
        size_t from = out.size();
        map.Feed(TerminalKeyMap::Byte(b), out);
        Check(from);
    }

    void Key(int code)
    {
        fed += "<key>";
        size_t from = out.size();
        map.Feed(TerminalKeyMap::Key(code), out);
        Check(from);
    }

    void Pause()
    {
        fed += "<pause>";
        size_t from = out.size();
        map.Flush(out);
        Check(from);
    }

    // All that was read at once is fed.
    void BlockEnd()
    {
        fed += "<block>";
        size_t from = out.size();
        map.EndOfInput(out);
        Check(from);
    }

    // The terminal is quiet for long: what is open is complete or dropped,
    // a paste without its end marker is over.
    void LongPause()
    {
        Pause();
        size_t from = out.size();
        map.EndPaste(out);
        Check(from);
        if (map.Pending() || map.InPaste())
            Fail("still waiting after a long pause");
    }

    void Garbage(std::string_view bytes, Pauses& pauses)
    {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (pauses.Next())
                Pause();
            else if (pauses.Next())
                BlockEnd();
            unsigned char b = static_cast<unsigned char>(bytes[i]);
            if (b == 0xFF && i + 1 < bytes.size())
                Key(0x100 + static_cast<unsigned char>(bytes[++i]));
            else
                Byte(b);
        }
    }
};

// The text of a paste from any bytes: the code points of the well-formed
// UTF-8 in them, without control codes other than CR, LF and tab (and
// without C1 controls, which no key yields).
std::u32string PasteText(std::string_view bytes)
{
    std::u32string text;
    for (size_t i = 0; i < bytes.size();) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        int need = b < 0x80         ? 0
            : b >= 0xC2 && b < 0xE0 ? 1
            : b >= 0xE0 && b < 0xF0 ? 2
            : b >= 0xF0 && b < 0xF5 ? 3
                                    : -1;
        if (need < 0) {
            ++i;
            continue;
        }
        char32_t c = need == 0 ? b : need == 1 ? (b & 0x1F) : need == 2 ? (b & 0x0F) : (b & 0x07);
        size_t j = i + 1;
        for (; j < bytes.size() && j <= i + size_t(need); ++j) {
            unsigned char t = static_cast<unsigned char>(bytes[j]);
            if ((t & 0xC0) != 0x80)
                break;
            c = (c << 6) | (t & 0x3F);
        }
        if (j != i + 1 + size_t(need)) {
            i = j;  // cut short: dropped
            continue;
        }
        i = j;
        static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (c < kLeast[need] || Utf16::IsSurrogate(c) || c > 0x10FFFF)
            continue;
        if ((c < 0x20 && c != 0x0D && c != 0x0A && c != 0x09) || (c >= 0x7F && c < 0xA0))
            continue;
        text += c;
    }
    return text;
}

// The text as the terminal sends it, in UTF-8.
std::string Utf8(const std::u32string& text)
{
    std::u16string units;
    for (char32_t c : text) {
        if (c < 0x10000) {
            units += char16_t(c);
        } else {
            units += Utf16::HighOf(c);
            units += Utf16::LowOf(c);
        }
    }
    return CString(std::move(units)).ToUtf8();
}

// The text a paste of this comes out as: each character as UTF-16, a line
// end as Enter's "\r" (CR LF once).
std::u16string PastedText(const std::u32string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == 0x0A && i > 0 && text[i - 1] == 0x0D)
            continue;
        if (text[i] == 0x0A || text[i] == 0x0D) {
            out += u'\r';
        } else if (text[i] < 0x10000) {
            out += char16_t(text[i]);
        } else {
            out += Utf16::HighOf(text[i]);
            out += Utf16::LowOf(text[i]);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Pauses pauses(data[0]);
    pauses.SetEvery((data[0] & 7) + 2);
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    Run run;
    size_t start = input.find(kPasteStart);
    run.what = "before the paste";
    run.Garbage(input.substr(0, start), pauses);
    if (start != std::string_view::npos) {
        size_t bodyAt = start + kPasteStart.size();
        size_t end = input.find(kPasteEnd, bodyAt);
        std::string_view body
            = input.substr(bodyAt, end == std::string_view::npos ? std::string_view::npos : end - bodyAt);
        // The text of each part between start markers; the markers stay.
        std::u32string text;
        std::string sent;
        for (size_t at = 0;;) {
            size_t marker = body.find(kPasteStart, at);
            std::u32string part = PasteText(body.substr(at, marker == std::string_view::npos ? marker : marker - at));
            text += part;
            sent += Utf8(part);
            if (marker == std::string_view::npos)
                break;
            sent += kPasteStart;
            at = marker + kPasteStart.size();
        }

        run.LongPause();
        run.what = "the paste";
        size_t from = run.out.size();
        for (char c : kPasteStart)
            run.Byte(static_cast<unsigned char>(c));
        for (char c : sent + std::string(kPasteEnd)) {
            if (pauses.Next())
                run.Pause();
            else if (pauses.Next())
                run.BlockEnd();
            run.Byte(static_cast<unsigned char>(c));
        }
        run.Pause();
        if (run.map.InPaste())
            run.Fail("the paste did not end at its end marker");
        std::u16string expected = PastedText(text);
        std::u16string got;
        for (size_t i = from; i < run.out.size(); ++i) {
            const InputEvent& e = run.out[i];
            if (e.kind != InputEvent::Kind::Paste)
                run.Fail("a paste made an event other than its text");
            if (e.first != (i == from))
                run.Fail("only a paste's first piece is marked first");
            got += e.text;
        }
        if (got != expected) {
            std::fprintf(stderr, "\nexpected: %s\n", Shown(CString(expected).ToUtf8()).c_str());
            run.Fail("the paste's text did not come out as it was pasted");
        }

        run.what = "after the paste";
        if (end != std::string_view::npos)
            run.Garbage(input.substr(end + kPasteEnd.size()), pauses);
    }
    // Whatever came before, quiet ends it and typing works.
    run.LongPause();
    size_t from = run.out.size();
    run.Byte('k');
    if (run.out.size() != from + 1 || run.out.back().kind != InputEvent::Kind::Key || run.out.back().vk != 'K')
        run.Fail("typing after a long pause did not type");
    return 0;
}
