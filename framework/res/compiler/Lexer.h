// Splits the text of one resource script (or one macro body) into tokens.
//
// Comments disappear here. A line whose first non-blank character is '#'
// comes out whole as one Directive token, so that the preprocessor sees
// directives as lines, the way scripts are written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "CompileError.h"

namespace rc {

enum class TokenKind { End, Identifier, Number, String, Punct, Directive };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;         // identifier, punctuation mark, number as written, directive line
    std::u16string str;       // a string literal's characters with escapes resolved
    std::uint32_t value = 0;  // a number's value
    bool isLong = false;      // a number with an L suffix
    bool wide = false;        // a string written L"..."
    SourceLocation where;

    // Keywords of the script language are not case-sensitive.
    bool IsKeyword(std::string_view word) const;
    bool IsPunct(char c) const { return kind == TokenKind::Punct && text.size() == 1 && text[0] == c; }

    // How the token reads in a message: 'BEGIN', '"text"', end of file.
    std::string Describe() const;
};

class Lexer {
public:
    Lexer(std::string file, std::string text, int firstLine = 1);

    Token Next();

private:
    void SkipBlanksAndComments();
    void SkipBlockComment();
    Token LexDirective();
    Token LexNumber();
    Token LexIdentifier();
    Token LexString(bool wide);
    void LexEscape(bool wide, std::u16string& out);

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(std::size_t ahead = 0) const;
    [[noreturn]] void Fail(const std::string& message) const;
    [[noreturn]] void FailAt(int line, const std::string& message) const;

    std::string file_;
    std::string text_;
    std::size_t pos_ = 0;
    int line_;
    bool atLineStart_ = true;
};

}  // namespace rc
