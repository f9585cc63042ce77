#include "framework/io/Path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// Whether the absolute path of these parts names a symbolic link.
bool IsLink(const std::vector<std::u16string_view>& parts)
{
    std::u16string path;
    for (std::u16string_view part : parts) {
        path += u'/';
        path += part;
    }
    struct stat st;
    return ::lstat(CString(path).ToBytes().c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

CString PathFileName(const CString& path) { return path.Mid(path.ReverseFind(u'/') + 1); }

CString PathFolder(const CString& path) { return path.Left(path.ReverseFind(u'/') + 1); }

std::string PathFileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string PathParent(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string PathJoin(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

CString PathCurrentDirectory()
{
    std::string buf(256, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return CString(u"/");
        buf.resize(buf.size() * 2);
    }
    return CString::FromBytes(buf.c_str());
}

CString PathFullName(const CString& name)
{
    std::u16string s = name.Str();
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
            if (parts.empty())
                continue;  // "/.." is "/"
            if (parts.back() != u".." && !IsLink(parts)) {
                parts.pop_back();
                continue;
            }
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
