// The one kind of failure the resource compiler reports: a message tied to
// a line of a source file.
#pragma once

#include <stdexcept>
#include <string>

namespace rc {

struct SourceLocation {
    std::string file;
    int line = 0;
};

class CompileError : public std::runtime_error {
public:
    CompileError(SourceLocation where, const std::string& message);

    const SourceLocation& Where() const { return where_; }
    const std::string& Message() const { return message_; }

    // "file:line: error: message", the form editors and build tools jump from.
    std::string Format() const;

private:
    SourceLocation where_;
    std::string message_;
};

}  // namespace rc
