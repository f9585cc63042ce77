#include "Preprocessor.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace rc {

namespace {

constexpr std::size_t kMaxIncludeDepth = 32;

bool IsHeader(const std::filesystem::path& file)
{
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".h" || ext == ".hh" || ext == ".hpp" || ext == ".hxx" || ext == ".c" || ext == ".inl";
}

std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Splits "name rest" into the leading word and what follows it, untrimmed.
std::pair<std::string, std::string> SplitWord(const std::string& text)
{
    const std::string t = Trim(text);
    std::size_t end = 0;
    while (end < t.size() && (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '_'))
        ++end;
    return {t.substr(0, end), t.substr(end)};
}

}  // namespace

Preprocessor::Preprocessor(SourceFiles& files, SymbolTable& symbols)
    : files_(files), symbols_(symbols), headers_(files, symbols)
{}

void Preprocessor::Open(const std::filesystem::path& script) { Push(script, {script.string(), 0}); }

void Preprocessor::Push(const std::filesystem::path& file, const SourceLocation& includedFrom)
{
    if (stack_.size() >= kMaxIncludeDepth)
        throw CompileError(includedFrom, "#include nested too deeply");
    std::string text = files_.Read(file, includedFrom);
    Frame frame;
    frame.lexer = std::make_unique<Lexer>(file.string(), std::move(text));
    frame.dir = file.parent_path();
    stack_.push_back(std::move(frame));
}

bool Preprocessor::Skipping() const
{
    return !stack_.empty() && !stack_.back().conditions.empty() && !stack_.back().conditions.back().taking;
}

Token Preprocessor::Fetch()
{
    while (!stack_.empty()) {
        Token token = stack_.back().lexer->Next();
        if (token.kind == TokenKind::End) {
            if (!stack_.back().conditions.empty())
                throw CompileError(stack_.back().conditions.back().where, "conditional without #endif");
            last_ = token.where;
            stack_.pop_back();
            continue;
        }
        if (token.kind == TokenKind::Directive) {
            Directive(token);
            continue;
        }
        if (Skipping())
            continue;
        last_ = token.where;
        return token;
    }
    Token end;
    end.where = last_;
    return end;
}

void Preprocessor::Expand(const Token& token, std::vector<std::string>& active, std::vector<Token>& out) const
{
    const Macro* macro = token.kind == TokenKind::Identifier ? symbols_.Find(token.text) : nullptr;
    if (!macro || std::find(active.begin(), active.end(), token.text) != active.end()) {
        out.push_back(token);
        return;
    }
    active.push_back(token.text);
    Lexer body(macro->where.file, macro->body, macro->where.line);
    for (Token t = body.Next(); t.kind != TokenKind::End; t = body.Next()) {
        if (t.kind == TokenKind::Directive)
            throw CompileError(macro->where, "'#' in the value of '" + token.text + "'");
        t.where = token.where;  // errors about the value point at its use
        Expand(t, active, out);
    }
    active.pop_back();
}

void Preprocessor::Fill()
{
    while (pending_.empty()) {
        Token token = Fetch();
        if (token.kind != TokenKind::Identifier || !symbols_.IsDefined(token.text)) {
            pending_.push_back(std::move(token));
            return;
        }
        std::vector<std::string> active;
        std::vector<Token> expansion;
        Expand(token, active, expansion);
        pending_.insert(pending_.end(), expansion.begin(), expansion.end());
    }
}

const Token& Preprocessor::Peek()
{
    Fill();
    return pending_.front();
}

Token Preprocessor::Next()
{
    Fill();
    Token token = std::move(pending_.front());
    pending_.pop_front();
    return token;
}

void Preprocessor::Directive(const Token& directive)
{
    const SourceLocation& where = directive.where;
    auto [name, afterName] = SplitWord(directive.text);
    const std::string rest = Trim(afterName);
    auto& conditions = stack_.back().conditions;

    if (name == "ifdef" || name == "ifndef" || name == "if") {
        const bool parent = !Skipping();
        bool taking = false;
        if (parent) {
            if (name == "if") {
                taking = EvaluateIf(rest, where);
            } else {
                auto [symbol, extra] = SplitWord(rest);
                if (symbol.empty() || !Trim(extra).empty())
                    throw CompileError(where, "#" + name + " needs one name");
                taking = symbols_.IsDefined(symbol) == (name == "ifdef");
            }
        }
        conditions.push_back({parent, parent && taking, false, where});
        return;
    }
    if (name == "else") {
        if (conditions.empty())
            throw CompileError(where, "#else without #if");
        Conditional& c = conditions.back();
        if (c.seenElse)
            throw CompileError(where, "#else after #else");
        c.taking = c.parentTaking && !c.taking;
        c.seenElse = true;
        return;
    }
    if (name == "endif") {
        if (conditions.empty())
            throw CompileError(where, "#endif without #if");
        conditions.pop_back();
        return;
    }
    if (Skipping())
        return;

    if (name == "include") {
        Include(rest, where);
    } else if (name == "define") {
        auto [symbol, value] = SplitWord(afterName);
        if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0])))
            throw CompileError(where, "#define needs a name");
        if (!value.empty() && value[0] == '(')
            throw CompileError(where, "function-like macros are not supported");
        symbols_.Define(symbol, Trim(value), where);
    } else if (name == "undef") {
        symbols_.Undefine(SplitWord(rest).first);
    } else if (name == "pragma") {
        // code_page and the like: scripts are always UTF-8.
    } else if (name == "error") {
        throw CompileError(where, "#error " + rest);
    } else if (name.empty()) {
        // A lone '#' is a null directive.
    } else {
        throw CompileError(where, "unsupported directive '#" + name + "'");
    }
}

void Preprocessor::Include(const std::string& argument, const SourceLocation& where)
{
    const std::string arg = Trim(argument);
    std::optional<std::filesystem::path> found;
    std::string name;
    if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') {
        name = arg.substr(1, arg.size() - 2);
        found = files_.Find(name, &stack_.back().dir);
    } else if (arg.size() >= 2 && arg.front() == '<' && arg.back() == '>') {
        name = arg.substr(1, arg.size() - 2);
        found = files_.Find(name, nullptr);
    } else {
        throw CompileError(where, "#include expects \"file\" or <file>");
    }
    if (!found)
        throw CompileError(where, "cannot find include file '" + name + "'");
    if (IsHeader(*found))
        headers_.Scan(*found, where);
    else
        Push(*found, where);
}

// #if understands a number, defined(NAME) and defined NAME, each optionally
// negated with '!': enough to switch parts of a script on and off.
bool Preprocessor::EvaluateIf(const std::string& condition, const SourceLocation& where) const
{
    static const std::regex number(R"(^\s*(!?)\s*(\d+)\s*$)");
    static const std::regex defined(R"(^\s*(!?)\s*defined\s*(?:\(\s*([A-Za-z_]\w*)\s*\)|\s+([A-Za-z_]\w*))\s*$)");
    std::smatch m;
    if (std::regex_match(condition, m, number))
        return (m[2].str().find_first_not_of('0') != std::string::npos) != (m[1].length() > 0);  // any size
    if (std::regex_match(condition, m, defined)) {
        const std::string symbol = m[2].matched ? m[2].str() : m[3].str();
        return symbols_.IsDefined(symbol) != (m[1].length() > 0);
    }
    throw CompileError(where, "#if supports only a number or defined(NAME)");
}

}  // namespace rc
