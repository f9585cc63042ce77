// Reads the constants a script may use out of a C++ header, without
// compiling it: "#define NAME value" lines (not function-like macros) and
// "inline constexpr TYPE NAME = value;" lines. Headers it includes in
// quotes are read in turn; everything else in a header is ignored.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "SourceFiles.h"
#include "SymbolTable.h"

namespace rc {

class HeaderScanner {
public:
    HeaderScanner(SourceFiles& files, SymbolTable& symbols);

    // Reading a header twice changes nothing, so each is read once.
    void Scan(const std::filesystem::path& header, const SourceLocation& includedFrom);

private:
    void ScanLine(const std::string& line, const SourceLocation& where, const std::filesystem::path& dir);

    SourceFiles& files_;
    SymbolTable& symbols_;
    std::set<std::filesystem::path> scanned_;
};

}  // namespace rc
