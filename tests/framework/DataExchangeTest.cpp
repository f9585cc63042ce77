// Reading an int field: which texts are numbers, and which number.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "framework/app/DataExchange.h"

namespace {

struct IntCase {
    std::u16string text;
    std::optional<int> value;  // nullopt: not an integer
};

std::string Describe(const std::u16string& text)
{
    std::string out = "\"";
    for (char16_t c : text) {
        if (c == u'\t')
            out += "\\t";
        else if (c == u'\v')
            out += "\\v";
        else if (c == u'\f')
            out += "\\f";
        else if (c < 0x80)
            out += char(c);
        else
            out += "\\u" + std::to_string(int(c));
    }
    return out + "\"";
}

std::string Result(std::optional<int> v) { return v ? std::to_string(*v) : std::string("not an integer"); }

TEST(AfxParseIntTest, ReadsTheFieldAsTheFrameworkDefinesAnInteger)
{
    const std::u16string blanks30(30, u' ');
    const IntCase cases[] = {
        // Plain numbers and signs.
        {u"0", 0},
        {u"7", 7},
        {u"+7", 7},
        {u"-7", -7},
        {u"007", 7},
        {u"00", 0},
        {u"-0", std::nullopt},  // zero counts only when a digit 0 comes first
        {u"+0", std::nullopt},
        {u"+", std::nullopt},
        {u"-", std::nullopt},
        {u"+-1", std::nullopt},
        // Nothing at all.
        {u"", std::nullopt},
        {u" ", std::nullopt},
        {u"\t\t", std::nullopt},
        // Blanks and tabs around the number.
        {u"  12", 12},
        {u"12  ", 12},
        {u"\t12\t", 12},
        {u" \t -3 \t ", -3},
        {u" 0 ", 0},
        // Anything else after the number, or between sign and digits.
        {u"12a", std::nullopt},
        {u"1 2", std::nullopt},
        {u"- 5", std::nullopt},
        {u"5.0", std::nullopt},
        {u"0x10", std::nullopt},
        {u"a12", std::nullopt},
        {u"12\v", std::nullopt},
        // The conversion's own white space before the number.
        {u"\v5", 5},
        {u" \f -5", -5},
        {u"\v0", std::nullopt},
        // Beyond 32 bits: the nearest end of the range.
        {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-2147483649", INT_MIN},
        {u"99999999999999999999999999", INT_MAX},
        {u"-99999999999999999999999999", INT_MIN},
        // Only the first 31 characters are read.
        {blanks30 + u"4x", 4},
        {blanks30 + u" 4", std::nullopt},
        {std::u16string(31, u'1') + u"x", INT_MAX},
        {u"1" + std::u16string(29, u' ') + u"2", std::nullopt},
        {u"1" + std::u16string(30, u' ') + u"2", 1},
        // Digits of other scripts are no digits here.
        {u"\uFF11", std::nullopt},
    };
    for (const IntCase& c : cases) {
        int value = 12345;
        bool ok = AfxParseInt(CString(c.text), value);
        std::optional<int> got = ok ? std::optional<int>(value) : std::nullopt;
        EXPECT_EQ(Result(got), Result(c.value)) << "field text " << Describe(c.text);
        if (!ok) {
            EXPECT_EQ(value, 12345) << "a refused text changed the value: " << Describe(c.text);
        }
    }
}

}  // namespace
