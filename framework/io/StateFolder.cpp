#include "framework/io/StateFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::string AbsoluteSetting(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string WithoutFinalSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::string StateFolder::Path()
{
    std::string state = AbsoluteSetting("XDG_STATE_HOME");
    if (state.empty()) {
        std::string home = AbsoluteSetting("HOME");
        if (home.empty())
            if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
                home = pw->pw_dir;
        if (home.empty())
            return std::string();
        state = WithoutFinalSlash(home) + "/.local/state";
    }
    return WithoutFinalSlash(state) + "/tessel";
}

int StateFolder::Open()
{
    std::string folder = Path();
    if (folder.empty()) {
        errno = ENOENT;
        return -1;
    }
    // The folders above are made private too, as a state home should be;
    // one that exists is left as it is.
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            errno = ENOTDIR;
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    if ((st.st_mode & 077) != 0 && ::fchmod(fd, st.st_mode & 0700) != 0) {
        int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}
