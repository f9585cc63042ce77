#include "framework/io/FallbackFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

// The variable's value when it holds an absolute path; empty otherwise.
std::string AbsoluteSetting(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeFolder()
{
    std::string home = AbsoluteSetting("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
            home = pw->pw_dir;
    return home;
}

std::string WithoutFinalSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Makes folder and the folders above it that are missing, each 0700; true
// when folder then is a folder of this user's own (not a link).
bool MakePrivateFolder(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

}  // namespace

std::vector<CString> FallbackFolders()
{
    std::vector<CString> folders;
    std::string state = AbsoluteSetting("XDG_STATE_HOME");
    if (state.empty()) {
        std::string home = HomeFolder();
        if (!home.empty())
            state = WithoutFinalSlash(home) + "/.local/state";
    }
    if (!state.empty()) {
        std::string own = WithoutFinalSlash(state) + "/tessel";
        if (MakePrivateFolder(own))
            folders.push_back(CString::FromBytes(own));
    }
    std::string temp = AbsoluteSetting("TMPDIR");
    folders.push_back(CString::FromBytes(temp.empty() ? std::string("/tmp") : WithoutFinalSlash(temp)));
    return folders;
}

std::string FittedCopyName(std::string_view name, std::string_view ending, std::string_view longestNumber)
{
    const std::size_t added = ending.size() + longestNumber.size();
    const std::size_t most = added < NAME_MAX ? NAME_MAX - added : 0;
    return std::string(name.substr(0, most)) + std::string(ending);
}
