#include "framework/io/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The tokens after the program name, by the run-time's rules.
void ParseArguments(std::string_view s, std::vector<std::string>& out)
{
    size_t i = 0;
    const size_t n = s.size();
    for (;;) {
        while (i < n && IsBlank(s[i]))
            ++i;
        if (i >= n)
            return;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(s[i]))) {
            char c = s[i];
            if (c == '\\') {
                size_t run = 0;
                while (i < n && s[i] == '\\') {
                    ++run;
                    ++i;
                }
                if (i < n && s[i] == '"') {
                    arg.append(run / 2, '\\');
                    if (run % 2) {  // an escaped quote
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(run, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < n && s[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += c;
                ++i;
            }
        }
        out.push_back(std::move(arg));
    }
}

std::string Native(std::string_view path)
{
    std::string s(path);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

bool IsFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The file a program name stands for: a name with "/" as it is, one without
// along PATH. Empty when there is none.
std::string Locate(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return IsFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string_view dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    for (;;) {
        size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        std::string candidate = (dir.empty() ? std::string(".") : dir) + '/' + name;
        if (IsFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        dirs.remove_prefix(colon + 1);
    }
}

struct Program {
    std::string name;       // as the command line gives it, separators made native
    std::string file;       // the file found for it; empty when none was
    std::string_view rest;  // the arguments' text
};

// The program at the head of a command line (see Process.h).
Program SplitProgram(std::string_view line)
{
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    Program program;
    if (!line.empty() && line.front() == '"') {
        size_t close = line.find('"', 1);
        program.name = Native(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
        program.file = Locate(program.name);
        program.rest = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
        return program;
    }
    for (size_t end = 0; end <= line.size(); ++end) {
        bool wordEnds = end == line.size() ? end > 0 && !IsBlank(line[end - 1])
                                           : IsBlank(line[end]) && end > 0 && !IsBlank(line[end - 1]);
        if (!wordEnds)
            continue;
        std::string candidate = Native(line.substr(0, end));
        std::string file = Locate(candidate);
        if (!file.empty()) {
            program.name = candidate;
            program.file = file;
            program.rest = line.substr(end);
            return program;
        }
    }
    size_t blank = std::min(line.find(' '), line.find('\t'));
    program.name = Native(line.substr(0, blank));
    program.rest = blank == std::string_view::npos ? std::string_view() : line.substr(blank);
    return program;
}

// The result the intermediate child sends back.
struct SpawnResult {
    int error;
    pid_t pid;
};

}  // namespace

std::vector<std::string> ParseCommandLine(std::string_view line)
{
    std::vector<std::string> tokens;
    if (line.empty())
        return tokens;
    std::string_view rest;
    if (IsBlank(line.front())) {
        tokens.emplace_back();
        rest = line;
    } else if (line.front() == '"') {
        size_t close = line.find('"', 1);
        tokens.emplace_back(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
        rest = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
    } else {
        size_t blank = std::min(line.find(' '), line.find('\t'));
        tokens.emplace_back(line.substr(0, blank));
        rest = blank == std::string_view::npos ? std::string_view() : line.substr(blank);
    }
    ParseArguments(rest, tokens);
    return tokens;
}

void GetStartupInfoA(STARTUPINFOA* info)
{
    if (!info)
        return;
    std::memset(info, 0, sizeof *info);
    info->cb = sizeof *info;
}

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, void*, void*, BOOL bInheritHandles, DWORD,
                    void* lpEnvironment, LPCSTR lpCurrentDirectory, STARTUPINFOA*,
                    PROCESS_INFORMATION* lpProcessInformation)
{
    std::string file;
    std::vector<std::string> args;
    if (lpApplicationName) {
        // The system's path as it stands; a bare name is taken in the
        // current directory, not looked for.
        file = lpApplicationName;
        if (!file.empty() && file.find('/') == std::string::npos)
            file = "./" + file;
        if (lpCommandLine)
            args = ParseCommandLine(lpCommandLine);
        if (args.empty())
            args.push_back(file);
    } else {
        if (!lpCommandLine) {
            errno = EINVAL;
            return FALSE;
        }
        Program program = SplitProgram(lpCommandLine);
        file = program.file.empty() ? program.name : program.file;
        args.push_back(program.name);
        ParseArguments(program.rest, args);
    }
    if (file.empty()) {
        errno = ENOENT;
        return FALSE;
    }

    // Everything the intermediate child needs is built before it exists, so
    // that it only spawns, reports and ends.
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    if (lpEnvironment) {
        for (char* p = static_cast<char*>(lpEnvironment); *p; p += std::strlen(p) + 1)
            envp.push_back(p);
        envp.push_back(nullptr);
    }
    char** env = lpEnvironment ? envp.data() : environ;
    bool searchPath = file.find('/') == std::string::npos;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string folder = lpCurrentDirectory ? lpCurrentDirectory : "";
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (!bInheritHandles)
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    auto cleanUp = [&] {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    };
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        int err = errno;
        cleanUp();
        errno = err;
        return FALSE;
    }
    pid_t middle = ::fork();
    if (middle == 0) {
        SpawnResult result = {0, 0};
        result.error = searchPath ? ::posix_spawnp(&result.pid, file.c_str(), &actions, &attributes, argv.data(), env)
                                  : ::posix_spawn(&result.pid, file.c_str(), &actions, &attributes, argv.data(), env);
        ssize_t written = ::write(channel[1], &result, sizeof result);
        ::_exit(written == ssize_t(sizeof result) ? 0 : 1);
    }
    int forkError = middle < 0 ? errno : 0;
    ::close(channel[1]);
    SpawnResult result = {forkError, 0};
    if (middle > 0) {
        ssize_t got;
        do
            got = ::read(channel[0], &result, sizeof result);
        while (got < 0 && errno == EINTR);
        if (got != ssize_t(sizeof result))
            result = {ECHILD, 0};
        // ECHILD here means SIGCHLD is ignored and the system reaped it.
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(channel[0]);
    cleanUp();
    if (result.error) {
        errno = result.error;
        return FALSE;
    }
    if (lpProcessInformation) {
        lpProcessInformation->hProcess = nullptr;
        lpProcessInformation->hThread = nullptr;
        lpProcessInformation->dwProcessId = result.pid;
        lpProcessInformation->dwThreadId = 0;
    }
    return TRUE;
}

CString GetModuleFileName()
{
    std::string buf(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return CString();
        if (size_t(n) < buf.size()) {
            buf.resize(size_t(n));
            return CString::FromBytes(buf);
        }
        buf.resize(buf.size() * 2);
    }
}
