#include "CompileError.h"

#include <cstdio>

namespace rc {

namespace {

// Control characters a script put into a message (a file name or string
// with a line end, say) are written as \xNN, so that the message stays one
// line of plain text.
std::string Printable(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

CompileError::CompileError(SourceLocation where, const std::string& message)
    : std::runtime_error(Printable(message)), where_(std::move(where)), message_(Printable(message))
{}

std::string CompileError::Format() const
{
    std::string text = where_.file;
    if (where_.line > 0)
        text.append(":").append(std::to_string(where_.line));
    return text.append(": error: ").append(message_);
}

}  // namespace rc
