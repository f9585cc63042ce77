#include "framework/io/Path.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace {

int LastSeparator(const CString& path)
{
    return std::max(path.ReverseFind(u'/'), path.ReverseFind(u'\\'));
}

}  // namespace

CString PathFileName(const CString& path) { return path.Mid(LastSeparator(path) + 1); }

CString PathFolder(const CString& path) { return path.Left(LastSeparator(path) + 1); }

CString PathNative(const CString& path)
{
    std::u16string s = path.Str();
    std::replace(s.begin(), s.end(), u'\\', u'/');
    return CString(std::move(s));
}

CString PathCurrentDirectory()
{
    std::string buf(256, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return CString(u"/");
        buf.resize(buf.size() * 2);
    }
    return CString::FromUtf8(buf.c_str());
}

CString PathFullName(const CString& name)
{
    std::u16string s = name.Str();
    if (!s.empty() && s[0] == u'"') {
        s.erase(0, 1);
        size_t quote = s.find(u'"');
        if (quote != std::u16string::npos)
            s.erase(quote);
    }
    s = PathNative(CString(std::move(s))).Str();
    if (s.empty())
        return CString();
    if (s[0] != u'/')
        s = PathCurrentDirectory().Str() + u'/' + s;

    std::vector<std::u16string_view> parts;
    std::u16string_view rest(s);
    while (!rest.empty()) {
        size_t sep = rest.find(u'/');
        std::u16string_view part = rest.substr(0, sep);
        rest = sep == std::u16string_view::npos ? std::u16string_view() : rest.substr(sep + 1);
        if (part.empty() || part == u".")
            continue;
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::u16string out;
    for (std::u16string_view part : parts) {
        out += u'/';
        out += part;
    }
    if (out.empty() || s.back() == u'/')
        out += u'/';
    return CString(std::move(out));
}
