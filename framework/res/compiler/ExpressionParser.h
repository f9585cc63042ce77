// Numeric expressions of resource scripts: decimal and hex numbers, names
// of constants, parentheses, unary - ~ +, binary * / + - & |, and NOT.
//
// NOT x stands for "remove the bits of x" rather than for a complement: in
// a style such as "ES_LEFT | NOT WS_BORDER | WS_VSCROLL" each term, from
// left to right, sets or removes bits of the style the statement starts
// from. A Value therefore keeps both the bits set and the bits removed.
#pragma once

#include <cstdint>

#include "Preprocessor.h"

namespace rc {

struct Value {
    std::uint32_t set = 0;    // bits the expression sets
    std::uint32_t clear = 0;  // bits it removes with NOT
    bool isLong = false;      // a number in it had an L suffix

    // The result of applying the expression to a starting value.
    std::uint32_t ApplyTo(std::uint32_t base) const { return (base & ~clear) | set; }
};

class ExpressionParser {
public:
    explicit ExpressionParser(Preprocessor& in);

    // Whether token can begin an expression.
    static bool Starts(const Token& token);

    // An expression that may use NOT (a style).
    Value ParseStyle();

    // A plain number; NOT is refused. what names it in messages ("an id").
    std::uint32_t ParseNumber(const char* what);
    Value ParsePlain(const char* what);

private:
    Value Or();
    Value And();
    Value Sum();
    Value Product();
    Value Unary();
    Value Primary();
    void RequirePlain(const Value& v, const Token& op) const;

    Preprocessor& in_;
    const char* what_ = "a number";
};

}  // namespace rc
