// The token stream the parser reads: the tokens of the script and of the
// scripts it includes, with directives carried out, conditional regions
// left out and names defined as macros replaced by their values.
#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HeaderScanner.h"
#include "Lexer.h"
#include "SourceFiles.h"
#include "SymbolTable.h"

namespace rc {

class Preprocessor {
public:
    Preprocessor(SourceFiles& files, SymbolTable& symbols);

    // Starts reading the main script.
    void Open(const std::filesystem::path& script);

    const Token& Peek();
    Token Next();

private:
    struct Conditional {
        bool parentTaking;  // whether the enclosing region is being read at all
        bool taking;        // whether the current branch is being read
        bool seenElse;
        SourceLocation where;
    };
    struct Frame {
        std::unique_ptr<Lexer> lexer;
        std::filesystem::path dir;
        std::vector<Conditional> conditions;
    };

    void Push(const std::filesystem::path& file, const SourceLocation& includedFrom);
    void Fill();
    Token Fetch();
    void Directive(const Token& directive);
    void Include(const std::string& argument, const SourceLocation& where);
    bool EvaluateIf(const std::string& condition, const SourceLocation& where) const;
    void Expand(const Token& token, std::vector<std::string>& active, std::vector<Token>& out) const;
    bool Skipping() const;

    SourceFiles& files_;
    SymbolTable& symbols_;
    HeaderScanner headers_;
    std::vector<Frame> stack_;
    std::deque<Token> pending_;
    SourceLocation last_;
};

}  // namespace rc
