#include "ExpressionParser.h"

namespace rc {

ExpressionParser::ExpressionParser(Preprocessor& in) : in_(in) {}

bool ExpressionParser::Starts(const Token& token)
{
    return token.kind == TokenKind::Number || token.IsPunct('(') || token.IsPunct('-') || token.IsPunct('~')
        || token.IsPunct('+') || token.IsKeyword("NOT");
}

Value ExpressionParser::ParseStyle()
{
    what_ = "a style";
    return Or();
}

Value ExpressionParser::ParsePlain(const char* what)
{
    what_ = what;
    const Token first = in_.Peek();
    Value v = Or();
    if (v.clear != 0)
        throw CompileError(first.where, std::string("NOT is only allowed in styles, not in ") + what);
    return v;
}

std::uint32_t ExpressionParser::ParseNumber(const char* what) { return ParsePlain(what).set; }

void ExpressionParser::RequirePlain(const Value& v, const Token& op) const
{
    if (v.clear != 0)
        throw CompileError(op.where, "NOT can only be combined with '|', not with '" + op.text + "'");
}

// Terms joined by '|' apply from left to right: a later term's bits win over
// an earlier NOT, and a later NOT removes bits an earlier term set.
Value ExpressionParser::Or()
{
    Value left = And();
    while (in_.Peek().IsPunct('|')) {
        in_.Next();
        const Value right = And();
        left.set = (left.set & ~right.clear) | right.set;
        left.clear = (left.clear | right.clear) & ~right.set;
        left.isLong |= right.isLong;
    }
    return left;
}

Value ExpressionParser::And()
{
    Value left = Sum();
    while (in_.Peek().IsPunct('&')) {
        const Token op = in_.Next();
        const Value right = Sum();
        RequirePlain(left, op);
        RequirePlain(right, op);
        left.set &= right.set;
        left.isLong |= right.isLong;
    }
    return left;
}

Value ExpressionParser::Sum()
{
    Value left = Product();
    while (in_.Peek().IsPunct('+') || in_.Peek().IsPunct('-')) {
        const Token op = in_.Next();
        const Value right = Product();
        RequirePlain(left, op);
        RequirePlain(right, op);
        left.set = op.text == "+" ? left.set + right.set : left.set - right.set;
        left.isLong |= right.isLong;
    }
    return left;
}

Value ExpressionParser::Product()
{
    Value left = Unary();
    while (in_.Peek().IsPunct('*') || in_.Peek().IsPunct('/')) {
        const Token op = in_.Next();
        const Value right = Unary();
        RequirePlain(left, op);
        RequirePlain(right, op);
        if (op.text == "/") {
            if (right.set == 0)
                throw CompileError(op.where, "division by zero");
            left.set /= right.set;
        } else {
            left.set *= right.set;
        }
        left.isLong |= right.isLong;
    }
    return left;
}

Value ExpressionParser::Unary()
{
    const Token& next = in_.Peek();
    if (next.IsPunct('-') || next.IsPunct('~') || next.IsPunct('+') || next.IsKeyword("NOT")) {
        const Token op = in_.Next();
        Value v = Unary();
        RequirePlain(v, op);
        if (op.IsKeyword("NOT")) {
            v.clear = v.set;
            v.set = 0;
        } else if (op.text == "-") {
            v.set = 0u - v.set;
        } else if (op.text == "~") {
            v.set = ~v.set;
        }
        return v;
    }
    return Primary();
}

Value ExpressionParser::Primary()
{
    const Token token = in_.Next();
    if (token.kind == TokenKind::Number)
        return Value{token.value, 0, token.isLong};
    if (token.IsPunct('(')) {
        Value v = Or();
        const Token close = in_.Next();
        if (!close.IsPunct(')'))
            throw CompileError(close.where, "expected ')', found " + close.Describe());
        return v;
    }
    if (token.kind == TokenKind::Identifier)
        throw CompileError(token.where, "undefined symbol '" + token.text + "'");
    throw CompileError(token.where, std::string("expected ") + what_ + ", found " + token.Describe());
}

}  // namespace rc
