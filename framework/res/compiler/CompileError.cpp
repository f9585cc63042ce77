#include "CompileError.h"

namespace rc {

CompileError::CompileError(SourceLocation where, const std::string& message)
    : std::runtime_error(message), where_(std::move(where)), message_(message)
{
}

std::string CompileError::Format() const
{
    std::string text = where_.file;
    if (where_.line > 0)
        text += ":" + std::to_string(where_.line);
    return text + ": error: " + message_;
}

}  // namespace rc
