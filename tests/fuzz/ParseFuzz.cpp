// Two parsers of text a person or a program supplies:
//   - the integer reading of a dialog's number field, compared with a
//     reference written from its rules (the first 31 characters; blanks and
//     tabs before and after; then white space, an optional sign and decimal
//     digits; clamped to 32 bits; a zero only from a text whose first
//     character after the blanks is the digit 0);
//   - the splitting of a command line for starting a program, checked for
//     what must hold of any split: no separator outside quotes inside a
//     token, and quoting the tokens again gives a line that splits into the
//     same tokens.
// The first byte says which; the rest is the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/app/DataExchange.h"
#include "framework/io/Process.h"
#include "tests/support/Text.h"

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "\n*** %s\n", what.c_str());
    std::abort();
}

std::string Shown(const std::u16string& s) { return support::Show(s); }
std::string Shown(const std::string& bytes) { return support::Show(support::Widened(bytes)); }

// ---- The number field ----

// The field's text from bytes: each byte is a character, except that 0xFE
// and 0xFF take the next byte as the low half of a character in the ranges
// of full-width forms and of Arabic-Indic digits, which are no ASCII digits.
std::u16string FieldText(const uint8_t* data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
        if ((data[i] == 0xFE || data[i] == 0xFF) && i + 1 < size) {
            char16_t base = data[i] == 0xFE ? 0xFF00 : 0x0600;
            text += char16_t(base | data[++i]);
        } else {
            text += char16_t(data[i]);
        }
    }
    return text;
}

struct Reading {
    bool ok;
    int value;
};

Reading ReferenceInt(std::u16string text)
{
    if (text.size() > 31)
        text.resize(31);
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    // The conversion skips white space of its own: line ends, vertical tab
    // and form feed too.
    auto space = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    size_t first = 0;
    while (first < text.size() && blank(text[first]))
        ++first;
    size_t at = first;
    while (at < text.size() && space(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    size_t end = at;
    while (end < text.size() && digit(text[end]))
        ++end;
    if (end == at)
        return {false, 0};
    // Only blanks and tabs may follow the number.
    for (size_t i = end; i < text.size(); ++i)
        if (!blank(text[i]))
            return {false, 0};
    // The digits without leading zeros decide the size.
    size_t significant = at;
    while (significant < end && text[significant] == u'0')
        ++significant;
    long long magnitude = 0;
    if (end - significant > 10) {
        magnitude = 1LL << 40;
    } else {
        for (size_t i = significant; i < end; ++i)
            magnitude = magnitude * 10 + (text[i] - u'0');
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL)
        value = 2147483647LL;
    if (value < -2147483648LL)
        value = -2147483648LL;
    // A zero counts only when the digit 0 stands first after the blanks.
    if (value == 0 && text[first] != u'0')
        return {false, 0};
    return {true, int(value)};
}

void CheckInt(const uint8_t* data, size_t size)
{
    std::u16string text = FieldText(data, size);
    Reading want = ReferenceInt(text);
    int value = 12345;
    bool ok = AfxParseInt(CString(text), value);
    if (ok != want.ok || (ok && value != want.value))
        Fail("\"" + Shown(text) + "\" reads as " + (ok ? std::to_string(value) : "no integer") + ", expected "
             + (want.ok ? std::to_string(want.value) : "no integer"));
    if (!ok && value != 12345)
        Fail("\"" + Shown(text) + "\" is no integer but changed the value");
}

// ---- The command line ----

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Quotes an argument so that the run-time's rules give it back unchanged.
std::string QuoteArgument(const std::string& arg)
{
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string Tokens(const std::vector<std::string>& tokens)
{
    std::string out;
    for (const std::string& t : tokens)
        out += " [" + Shown(t) + "]";
    return out;
}

void CheckCommandLine(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> tokens = ParseCommandLine(line);
    if (line.empty() != tokens.empty())
        Fail("\"" + Shown(line) + "\" gives" + Tokens(tokens) + ": only an empty line gives no tokens");
    if (tokens.empty())
        return;
    const bool quotes = line.find('"') != std::string::npos;
    // The program's name ends at the first blank, or runs between quotes.
    if (line[0] != '"') {
        size_t end = line.find_first_of(" \t");
        if (tokens[0] != line.substr(0, end))
            Fail("\"" + Shown(line) + "\": the program is [" + Shown(tokens[0]) + "]");
    }
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (!quotes && (tokens[i].empty() || tokens[i].find_first_of(" \t") != std::string::npos))
            Fail("\"" + Shown(line) + "\" without quotes gives" + Tokens(tokens));
    }
    if (!quotes && line.find('\\') == std::string::npos) {
        // Plain words: exactly the blank-separated words after the first.
        std::vector<std::string> words;
        size_t i = tokens[0].size();
        while (i < line.size()) {
            while (i < line.size() && Blank(line[i]))
                ++i;
            size_t start = i;
            while (i < line.size() && !Blank(line[i]))
                ++i;
            if (i > start)
                words.push_back(line.substr(start, i - start));
        }
        if (std::vector<std::string>(tokens.begin() + 1, tokens.end()) != words)
            Fail("\"" + Shown(line) + "\" gives" + Tokens(tokens));
    }
    // Quoted again, the tokens come back unchanged.
    std::string again;
    if (tokens[0].find('"') != std::string::npos)
        again = tokens[0];  // an unquoted name holding a quote stays as it was
    else
        again = "\"" + tokens[0] + "\"";
    for (size_t i = 1; i < tokens.size(); ++i)
        again += " " + QuoteArgument(tokens[i]);
    std::vector<std::string> reparsed = ParseCommandLine(again);
    if (reparsed != tokens)
        Fail("\"" + Shown(line) + "\" gives" + Tokens(tokens) + "; quoted again as \"" + Shown(again) + "\" it gives"
             + Tokens(reparsed));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1)
        CheckCommandLine(data + 1, size - 1);
    else
        CheckInt(data + 1, size - 1);
    return 0;
}
