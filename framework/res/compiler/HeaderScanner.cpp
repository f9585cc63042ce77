#include "HeaderScanner.h"

#include <regex>
#include <vector>

namespace rc {

namespace {

struct LogicalLine {
    std::string text;
    int line;
};

// Splits a header into lines with comments removed and backslash
// continuations joined, keeping the number of each line's first line.
std::vector<LogicalLine> LogicalLines(const std::string& text)
{
    std::vector<LogicalLine> lines;
    LogicalLine current{"", 1};
    int line = 1;
    bool inBlockComment = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (inBlockComment) {
            if (c == '*' && next == '/') {
                inBlockComment = false;
                current.text += ' ';
                ++i;
            } else if (c == '\n') {
                ++line;
            }
            continue;
        }
        if (c == '\n') {
            lines.push_back(current);
            current = {"", ++line};
        } else if (c == '\\' && (next == '\n' || (next == '\r' && i + 2 < text.size() && text[i + 2] == '\n'))) {
            i += next == '\n' ? 1 : 2;
            ++line;
        } else if (c == '/' && next == '/') {
            while (i + 1 < text.size() && text[i + 1] != '\n')
                ++i;
        } else if (c == '/' && next == '*') {
            inBlockComment = true;
            ++i;
        } else if (c == '"') {
            current.text += c;
            while (i + 1 < text.size() && text[i + 1] != '"' && text[i + 1] != '\n')
                current.text += text[++i];
            if (i + 1 < text.size() && text[i + 1] == '"')
                current.text += text[++i];
        } else if (c != '\r') {
            current.text += c;
        }
    }
    lines.push_back(current);
    return lines;
}

std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

HeaderScanner::HeaderScanner(SourceFiles& files, SymbolTable& symbols) : files_(files), symbols_(symbols) {}

void HeaderScanner::Scan(const std::filesystem::path& header, const SourceLocation& includedFrom)
{
    const auto key = std::filesystem::absolute(header).lexically_normal();
    if (!scanned_.insert(key).second)
        return;
    const std::string text = files_.Read(header, includedFrom);
    const auto dir = header.parent_path();
    for (const LogicalLine& line : LogicalLines(text))
        ScanLine(line.text, {header.string(), line.line}, dir);
}

void HeaderScanner::ScanLine(const std::string& raw, const SourceLocation& where, const std::filesystem::path& dir)
{
    static const std::regex define(R"(^#\s*define\s+([A-Za-z_]\w*)(\(?)\s*(.*)$)");
    static const std::regex include(R"(^#\s*include\s*"([^"]+)\".*$)");
    static const std::regex constant(
        R"(^(?:(?:inline|static)\s+)*constexpr\s+[A-Za-z_][\w:<>, ]*?\s+([A-Za-z_]\w*)\s*=\s*(.+?)\s*;$)");

    const std::string line = Trim(raw);
    std::smatch m;
    if (std::regex_match(line, m, define)) {
        if (m[2].length() == 0)  // NAME( would be a function-like macro
            symbols_.Define(m[1], Trim(m[3]), where);
    } else if (std::regex_match(line, m, include)) {
        if (auto found = files_.Find(m[1], &dir))
            Scan(*found, where);
    } else if (std::regex_match(line, m, constant)) {
        symbols_.Define(m[1], m[2], where);
    }
}

}  // namespace rc
