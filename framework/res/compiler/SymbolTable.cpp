#include "SymbolTable.h"

namespace rc {

void SymbolTable::Define(const std::string& name, std::string body, SourceLocation where)
{
    macros_[name] = Macro{std::move(body), std::move(where)};
}

void SymbolTable::Undefine(const std::string& name) { macros_.erase(name); }

const Macro* SymbolTable::Find(const std::string& name) const
{
    auto it = macros_.find(name);
    return it == macros_.end() ? nullptr : &it->second;
}

}  // namespace rc
