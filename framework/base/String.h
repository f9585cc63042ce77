// CString: the platform's string class, here over UTF-16 (char16_t).
//
// Narrow literals (const char*) are taken as UTF-8, which is what our source
// files hold. Conversions to and from 8-bit text with one byte per character
// (ISO 8859-1) are explicit: FromLatin1 / ToLatin1.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "framework/base/Types.h"

class CString {
public:
    CString() = default;
    CString(const char16_t* s) : m_str(s ? s : u"") {}
    CString(std::u16string_view s) : m_str(s) {}
    CString(std::u16string s) : m_str(std::move(s)) {}
    CString(const char* utf8);
    CString(char16_t ch, int count = 1) : m_str(count > 0 ? size_t(count) : 0, ch) {}

    static CString FromUtf8(std::string_view utf8);
    static CString FromLatin1(std::string_view bytes);
    std::string ToUtf8() const;
    // The system's bytes (file names, the command line): read as UTF-8
    // where they are well-formed UTF-8; each other byte 0x80-0xFF is kept as
    // the lone surrogate U+DC80-U+DCFF (which the screen shows as U+FFFD),
    // and ToBytes turns it back into the same byte. Bytes to CString and
    // back give the bytes exactly. The codec is Utf8Codec, the one UTF-8
    // files are read and written with.
    static CString FromBytes(std::string_view bytes);
    std::string ToBytes() const;
    // Each code unit narrowed as 8-bit text stores it (Narrowing.h: its
    // low 8 bits, "?" where they are 0).
    std::string ToLatin1() const;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char16_t GetAt(int i) const { return m_str.at(size_t(i)); }
    char16_t operator[](int i) const { return m_str.at(size_t(i)); }
    void SetAt(int i, char16_t c) { m_str.at(size_t(i)) = c; }
    const char16_t* GetString() const { return m_str.c_str(); }
    operator const char16_t*() const { return m_str.c_str(); }
    std::u16string_view View() const { return m_str; }
    const std::u16string& Str() const { return m_str; }
    std::u16string& Str() { return m_str; }

    CString& operator=(const char16_t* s)
    {
        m_str = s ? s : u"";
        return *this;
    }
    CString& operator=(const char* utf8) { return *this = CString(utf8); }
    CString& operator+=(const CString& s)
    {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char16_t* s)
    {
        m_str += s;
        return *this;
    }
    CString& operator+=(char16_t c)
    {
        m_str += c;
        return *this;
    }
    CString& operator+=(const char* utf8) { return *this += CString(utf8); }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char16_t* b) { return a + CString(b); }
    friend CString operator+(const char16_t* a, const CString& b) { return CString(a) + b; }
    friend CString operator+(const CString& a, char16_t c)
    {
        CString r(a);
        r += c;
        return r;
    }
    friend CString operator+(const CString& a, const char* b) { return a + CString(b); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char16_t* b) { return a.m_str == (b ? b : u""); }
    friend bool operator==(const CString& a, const char* b) { return a == CString(b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    // Ordinal comparison of code units (<0, 0, >0).
    int Compare(const CString& other) const { return m_str.compare(other.m_str); }
    // Comparison after Unicode simple case folding.
    int CompareNoCase(const CString& other) const;

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    int Find(char16_t c, int start = 0) const;
    int Find(const CString& s, int start = 0) const;
    int ReverseFind(char16_t c) const;
    int FindOneOf(const CString& set) const;
    void TrimLeft(std::u16string_view chars = u" \t");
    void TrimRight(std::u16string_view chars = u" \t");
    int Replace(const CString& from, const CString& to);
    CString& MakeUpper();
    CString& MakeLower();

    // Loads a string resource; FALSE (and the string left empty) when absent.
    // A string table is a resource: this is defined by the resource layer
    // (framework/res/StringTable.cpp), and nothing in base calls it.
    BOOL LoadString(UINT id);

    // printf-style formatting for %d %i %u %x %X %c %s %% with flags '-',
    // '0' and a width, e.g. "%5X". %s takes a CString or a char16_t string.
    class Arg {
    public:
        Arg(int v) : m_v(std::int64_t(v)) {}
        Arg(long v) : m_v(std::int64_t(v)) {}
        Arg(long long v) : m_v(std::int64_t(v)) {}
        Arg(unsigned v) : m_v(std::uint64_t(v)) {}
        Arg(unsigned long v) : m_v(std::uint64_t(v)) {}
        Arg(unsigned long long v) : m_v(std::uint64_t(v)) {}
        Arg(char16_t c) : m_v(c) {}
        Arg(const char16_t* s) : m_v(std::u16string_view(s ? s : u"(null)")) {}
        Arg(const CString& s) : m_v(s.View()) {}
        Arg(const char* s) : m_v(std::string_view(s ? s : "(null)")) {}
        std::variant<std::int64_t, std::uint64_t, char16_t, std::u16string_view, std::string_view> m_v;
    };
    template <class... A>
    void Format(const CString& fmt, const A&... args)
    {
        FormatV(fmt, {Arg(args)...});
    }
    void FormatV(const CString& fmt, std::initializer_list<Arg> args);

private:
    std::u16string m_str;
};

// Puts s1 in place of every "%1" of a format held in a string.
CString AfxFormatStrings1(const CString& format, const CString& s1);
