#include "framework/base/String.h"

#include <algorithm>

#include "framework/base/CaseFold.h"
#include "framework/base/Narrowing.h"
#include "framework/base/UnicodeCase.h"
#include "framework/base/Utf16.h"
#include "framework/base/Utf8.h"
#include "framework/base/Utf8Codec.h"

CString::CString(const char* utf8) : CString(FromUtf8(utf8 ? utf8 : "")) {}

CString CString::FromUtf8(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 0x6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 0xE) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c >> 3) == 0x1E) {
            cp = c & 0x07;
            len = 4;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (i + len > s.size()) {
            out += u'\uFFFD';
            break;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc >> 6) != 0x2) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            out += Utf16::HighOf(cp);
            out += Utf16::LowOf(cp);
        } else {
            out += char16_t(cp);
        }
    }
    return CString(std::move(out));
}

CString CString::FromLatin1(std::string_view bytes)
{
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return CString(std::move(out));
}

std::string CString::ToUtf8() const { return Utf8::FromUtf16(m_str); }

CString CString::FromBytes(std::string_view bytes) { return CString(Utf8Codec::DecodeAll(bytes)); }

std::string CString::ToBytes() const { return Utf8Codec::EncodeAll(m_str); }

std::string CString::ToLatin1() const
{
    std::string out(m_str.size(), '\0');
    NarrowUnits(m_str.data(), m_str.size(), reinterpret_cast<unsigned char*>(out.data()));
    return out;
}

namespace {

// The code point at text[i] (a lone surrogate stands for itself), folded as
// the search folds it; i moves past it.
char32_t NextFolded(std::u16string_view text, size_t& i)
{
    char32_t cp = text[i++];
    if (Utf16::IsHighSurrogate(cp) && i < text.size() && Utf16::IsLowSurrogate(text[i])) {
        cp = Utf16::CodePoint(text[i - 1], text[i]);
        ++i;
    }
    return Utf16::IsSurrogate(cp) ? cp : CaseFold::CodePoint(cp);
}

}  // namespace

int CString::CompareNoCase(const CString& other) const
{
    // Code point by code point, with the simple case folding the search
    // uses, so that what one finds the other calls equal.
    size_t i = 0, j = 0;
    while (i < m_str.size() && j < other.m_str.size()) {
        const char32_t a = NextFolded(m_str, i);
        const char32_t b = NextFolded(other.m_str, j);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (i == m_str.size() && j == other.m_str.size())
        return 0;
    return i == m_str.size() ? -1 : 1;
}

CString CString::Mid(int first) const { return Mid(first, GetLength() - std::max(first, 0)); }

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(size_t(first), size_t(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

int CString::Find(char16_t c, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    size_t p = m_str.find(c, size_t(start));
    return p == std::u16string::npos ? -1 : int(p);
}

int CString::Find(const CString& s, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    size_t p = m_str.find(s.m_str, size_t(start));
    return p == std::u16string::npos ? -1 : int(p);
}

int CString::ReverseFind(char16_t c) const
{
    size_t p = m_str.rfind(c);
    return p == std::u16string::npos ? -1 : int(p);
}

int CString::FindOneOf(const CString& set) const
{
    size_t p = m_str.find_first_of(set.m_str);
    return p == std::u16string::npos ? -1 : int(p);
}

void CString::TrimLeft(std::u16string_view chars)
{
    size_t p = m_str.find_first_not_of(chars);
    m_str.erase(0, p == std::u16string::npos ? m_str.size() : p);
}

void CString::TrimRight(std::u16string_view chars)
{
    size_t p = m_str.find_last_not_of(chars);
    m_str.erase(p == std::u16string::npos ? 0 : p + 1);
}

int CString::Replace(const CString& from, const CString& to)
{
    if (from.IsEmpty())
        return 0;
    int count = 0;
    std::u16string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = m_str.find(from.m_str, pos);
        if (hit == std::u16string::npos)
            break;
        out.append(m_str, pos, hit - pos);
        out += to.m_str;
        pos = hit + from.m_str.size();
        ++count;
    }
    if (count) {
        out.append(m_str, pos, std::u16string::npos);
        m_str = std::move(out);
    }
    return count;
}

CString& CString::MakeUpper()
{
    for (auto& c : m_str)
        if (!Utf16::IsSurrogate(c))
            c = char16_t(UnicodeCase::Upper(c));
    return *this;
}

CString& CString::MakeLower()
{
    for (auto& c : m_str)
        if (!Utf16::IsSurrogate(c))
            c = char16_t(UnicodeCase::Lower(c));
    return *this;
}

namespace {

void AppendPadded(std::u16string& out, std::u16string_view body, int width, bool left, char16_t pad)
{
    int fill = width - int(body.size());
    if (fill > 0 && !left) {
        // Zero padding goes after a sign.
        if (pad == u'0' && !body.empty() && body[0] == u'-') {
            out += u'-';
            body.remove_prefix(1);
        }
        out.append(size_t(fill), pad);
    }
    out.append(body);
    if (fill > 0 && left)
        out.append(size_t(fill), u' ');
}

std::u16string Digits(std::uint64_t v, unsigned base, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string s;
    do {
        s.insert(s.begin(), char16_t(digits[v % base]));
        v /= base;
    } while (v);
    return s;
}

}  // namespace

void CString::FormatV(const CString& fmt, std::initializer_list<Arg> args)
{
    std::u16string out;
    auto next = args.begin();
    const std::u16string& f = fmt.m_str;
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != u'%') {
            out += f[i];
            continue;
        }
        if (++i >= f.size())
            break;
        if (f[i] == u'%') {
            out += u'%';
            continue;
        }
        bool left = false;
        char16_t pad = u' ';
        for (; i < f.size() && (f[i] == u'-' || f[i] == u'0'); ++i) {
            if (f[i] == u'-')
                left = true;
            else
                pad = u'0';
        }
        int width = 0;
        for (; i < f.size() && f[i] >= u'0' && f[i] <= u'9'; ++i)
            width = width * 10 + (f[i] - u'0');
        while (i < f.size() && (f[i] == u'l' || f[i] == u'h'))
            ++i;
        if (i >= f.size())
            break;
        char16_t conv = f[i];
        if (next == args.end())
            break;
        const Arg& a = *next++;
        std::u16string body;
        auto asSigned = [&]() -> std::int64_t {
            if (auto p = std::get_if<std::int64_t>(&a.m_v))
                return *p;
            if (auto p = std::get_if<std::uint64_t>(&a.m_v))
                return std::int64_t(*p);
            if (auto p = std::get_if<char16_t>(&a.m_v))
                return *p;
            return 0;
        };
        switch (conv) {
        case u'd':
        case u'i': {
            std::int64_t v = asSigned();
            body = v < 0 ? u"-" + Digits(std::uint64_t(0) - std::uint64_t(v), 10, false)
                         : Digits(std::uint64_t(v), 10, false);
            break;
        }
        case u'u': body = Digits(std::uint64_t(asSigned()) & 0xFFFFFFFFu, 10, false); break;
        case u'x':
        case u'X': body = Digits(std::uint64_t(asSigned()) & 0xFFFFFFFFu, 16, conv == u'X'); break;
        case u'c': body = char16_t(asSigned()); break;
        case u's':
            if (auto p = std::get_if<std::u16string_view>(&a.m_v))
                body = *p;
            else if (auto q = std::get_if<std::string_view>(&a.m_v))
                body = FromUtf8(*q).m_str;
            break;
        default: break;
        }
        AppendPadded(out, body, width, left, conv == u's' || conv == u'c' ? u' ' : pad);
    }
    m_str = std::move(out);
}

CString AfxFormatStrings1(const CString& format, const CString& s1)
{
    CString out(format);
    out.Replace(u"%1", s1);
    return out;
}
