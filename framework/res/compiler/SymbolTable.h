// The names a script can use in place of numbers: its own #define lines and
// the constants of the headers it includes. A name stands for the text of
// its value, which is read as tokens wherever the name is used.
#pragma once

#include <map>
#include <string>

#include "CompileError.h"

namespace rc {

struct Macro {
    std::string body;
    SourceLocation where;  // where it was defined, for errors inside the body
};

class SymbolTable {
public:
    // A later definition replaces an earlier one, as in C.
    void Define(const std::string& name, std::string body, SourceLocation where);
    void Undefine(const std::string& name);

    const Macro* Find(const std::string& name) const;
    bool IsDefined(const std::string& name) const { return Find(name) != nullptr; }

private:
    std::map<std::string, Macro> macros_;
};

}  // namespace rc
