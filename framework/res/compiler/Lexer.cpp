#include "Lexer.h"

#include <cctype>
#include <cstdio>

#include "TextEncoding.h"

namespace rc {

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr std::string_view kPunctuation = ",|+-~(){}&*/!<>=;:";

// text between two marks, built front to back: g++ 12 at -O3 sees a bogus
// overlap (-Wrestrict) in a literal put before a temporary string.
std::string Enclosed(std::string_view open, std::string_view text, std::string_view close)
{
    std::string out;
    out.reserve(open.size() + text.size() + close.size());
    out.append(open).append(text).append(close);
    return out;
}

}  // namespace

bool Token::IsKeyword(std::string_view word) const
{
    if (kind != TokenKind::Identifier || text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

std::string Token::Describe() const
{
    switch (kind) {
    case TokenKind::End: return "end of file";
    case TokenKind::String: return Enclosed("\"", Utf16ToUtf8(str), "\"");
    case TokenKind::Directive: return Enclosed("'#", text, "'");
    default: return Enclosed("'", text, "'");
    }
}

Lexer::Lexer(std::string file, std::string text, int firstLine)
    : file_(std::move(file)), text_(std::move(text)), line_(firstLine)
{
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos_ = 3;
}

char Lexer::Peek(std::size_t ahead) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }

void Lexer::Fail(const std::string& message) const { FailAt(line_, message); }

void Lexer::FailAt(int line, const std::string& message) const { throw CompileError({file_, line}, message); }

void Lexer::SkipBlockComment()
{
    const int start = line_;
    pos_ += 2;
    while (!AtEnd() && !(Peek() == '*' && Peek(1) == '/')) {
        if (Peek() == '\n')
            ++line_;
        ++pos_;
    }
    if (AtEnd())
        FailAt(start, "unterminated comment");
    pos_ += 2;
}

void Lexer::SkipBlanksAndComments()
{
    while (!AtEnd()) {
        const char c = Peek();
        if (c == '\n') {
            ++line_;
            ++pos_;
            atLineStart_ = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '/' && Peek(1) == '/') {
            while (!AtEnd() && Peek() != '\n')
                ++pos_;
        } else if (c == '/' && Peek(1) == '*') {
            SkipBlockComment();
        } else {
            return;
        }
    }
}

Token Lexer::Next()
{
    SkipBlanksAndComments();
    Token token;
    token.where = {file_, line_};
    if (AtEnd())
        return token;

    const char c = Peek();
    const bool lineStart = atLineStart_;
    atLineStart_ = false;
    if (c == '#' && lineStart)
        return LexDirective();
    if (std::isdigit(static_cast<unsigned char>(c)))
        return LexNumber();
    if (c == 'L' && Peek(1) == '"') {
        ++pos_;
        return LexString(true);
    }
    if (IsIdentStart(c))
        return LexIdentifier();
    if (c == '"')
        return LexString(false);
    if (kPunctuation.find(c) != std::string_view::npos) {
        ++pos_;
        token.kind = TokenKind::Punct;
        token.text = std::string(1, c);
        return token;
    }
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
        Fail(std::string("unexpected byte ") + hex);
    }
    Fail(std::string("unexpected character '") + c + "'");
}

// The rest of the line after '#', with continuation lines joined and
// comments removed. Quoted text is kept as it stands.
Token Lexer::LexDirective()
{
    Token token;
    token.kind = TokenKind::Directive;
    token.where = {file_, line_};
    ++pos_;
    std::string line;
    while (!AtEnd()) {
        const char c = Peek();
        if (c == '\n')
            break;
        if (c == '\\' && (Peek(1) == '\n' || (Peek(1) == '\r' && Peek(2) == '\n'))) {
            pos_ += Peek(1) == '\n' ? 2 : 3;
            ++line_;
            line += ' ';
        } else if (c == '/' && Peek(1) == '/') {
            while (!AtEnd() && Peek() != '\n')
                ++pos_;
        } else if (c == '/' && Peek(1) == '*') {
            SkipBlockComment();
            line += ' ';
        } else if (c == '"') {
            line += c;
            ++pos_;
            while (!AtEnd() && Peek() != '"' && Peek() != '\n')
                line += text_[pos_++];
            if (Peek() == '"') {
                line += '"';
                ++pos_;
            }
        } else {
            if (c != '\r')
                line += c;
            ++pos_;
        }
    }
    token.text = line;
    return token;
}

Token Lexer::LexNumber()
{
    Token token;
    token.kind = TokenKind::Number;
    token.where = {file_, line_};
    const std::size_t start = pos_;
    std::uint64_t value = 0;
    bool tooLarge = false;
    if (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
        pos_ += 2;
        if (HexDigit(Peek()) < 0)
            Fail("malformed number '" + text_.substr(start, pos_ - start) + "'");
        while (HexDigit(Peek()) >= 0) {
            value = value * 16 + HexDigit(text_[pos_++]);
            tooLarge |= value > 0xFFFFFFFFu;
        }
    } else {
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            value = value * 10 + (text_[pos_++] - '0');
            tooLarge |= value > 0xFFFFFFFFu;
        }
    }
    while (Peek() == 'L' || Peek() == 'l' || Peek() == 'U' || Peek() == 'u') {
        if (Peek() == 'L' || Peek() == 'l')
            token.isLong = true;
        ++pos_;
    }
    const bool malformed = IsIdentChar(Peek());
    while (IsIdentChar(Peek()))
        ++pos_;
    token.text = text_.substr(start, pos_ - start);
    if (malformed)
        Fail("malformed number '" + token.text + "'");
    if (tooLarge)
        Fail("number '" + token.text + "' does not fit in 32 bits");
    token.value = static_cast<std::uint32_t>(value);
    return token;
}

Token Lexer::LexIdentifier()
{
    Token token;
    token.kind = TokenKind::Identifier;
    token.where = {file_, line_};
    const std::size_t start = pos_;
    while (IsIdentChar(Peek()))
        ++pos_;
    token.text = text_.substr(start, pos_ - start);
    return token;
}

Token Lexer::LexString(bool wide)
{
    Token token;
    token.kind = TokenKind::String;
    token.wide = wide;
    token.where = {file_, line_};
    const int startLine = line_;
    ++pos_;  // the opening quote
    for (;;) {
        if (AtEnd() || Peek() == '\n')
            FailAt(startLine, "unterminated string");
        const char c = Peek();
        if (c == '"') {
            if (Peek(1) == '"') {  // "" stands for one quote
                token.str += u'"';
                pos_ += 2;
                continue;
            }
            ++pos_;
            break;
        }
        if (c == '\\') {
            LexEscape(wide, token.str);
            continue;
        }
        auto cp = DecodeUtf8(text_, pos_);
        if (!cp)
            Fail("string is not valid UTF-8");
        AppendUtf16(*cp, token.str);
    }
    token.text = Enclosed("\"", Utf16ToUtf8(token.str), "\"");
    return token;
}

void Lexer::LexEscape(bool wide, std::u16string& out)
{
    ++pos_;  // the backslash
    const char c = Peek();
    ++pos_;
    char16_t value;
    switch (c) {
    case 'n': value = u'\n'; break;
    case 't': value = u'\t'; break;
    case 'r': value = u'\r'; break;
    case 'a': value = 0x07; break;
    case '\\': value = u'\\'; break;
    case '"': value = u'"'; break;
    case '\'': value = u'\''; break;
    case 'x':
    case 'X': {
        // Two hex digits make a byte; a wide string takes up to four.
        const int maxDigits = wide ? 4 : 2;
        int digits = 0;
        unsigned v = 0;
        while (digits < maxDigits && HexDigit(Peek()) >= 0) {
            v = v * 16 + HexDigit(text_[pos_++]);
            ++digits;
        }
        if (digits == 0)
            Fail("'\\x' needs hex digits");
        value = static_cast<char16_t>(v);
        break;
    }
    default:
        if (c >= '0' && c <= '7') {
            unsigned v = c - '0';
            for (int i = 0; i < 2 && Peek() >= '0' && Peek() <= '7'; ++i)
                v = v * 8 + (text_[pos_++] - '0');
            value = static_cast<char16_t>(v);
            break;
        }
        if (c == '\n' || c == '\0')
            Fail("unterminated string");
        Fail(std::string("unknown escape sequence '\\") + c + "'");
    }
    out += value;
}

}  // namespace rc
