#include "framework/io/JournalFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "framework/io/FaultInjection.h"

namespace {

constexpr std::string_view kMagic = "tessel-journal 1\n";
constexpr std::string_view kEnding = ".journal";
constexpr std::string_view kTemp = ".tmp";
// More than any text the editor holds, written as UTF-8.
constexpr off_t kLargestJournal = off_t(1) << 30;

std::string Escaped(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c == '%' || c == '/' || c == '~' || c < 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string Hashed(const std::string& path)
{
    // FNV-1a: only a short name; the header's path decides.
    unsigned long long h = 14695981039346656037ULL;
    for (unsigned char c : path)
        h = (h ^ c) * 1099511628211ULL;
    char buf[20];
    std::snprintf(buf, sizeof buf, "#%016llx", h);
    return buf;
}

// The part of a name before "~PID-START.journal".
std::string KeyFor(const std::string& path, size_t suffix)
{
    if (path.empty())
        return "untitled";
    std::string key = Escaped(path);
    if (key.size() + suffix + kTemp.size() > NAME_MAX)
        key = Hashed(path);
    return key;
}

}  // namespace

namespace {

// The state (field 3 of /proc/PID/stat: 'R', 'S', 'Z' for one that ended
// and was not yet waited for, ...) and the start time (field 22, clock
// ticks since boot) of a process; false when they cannot be read.
bool ReadProcessStat(pid_t pid, char& state, unsigned long long& started)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return false;
    // The command's name, in parentheses, may hold anything but ends at the last ")".
    size_t close = line.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    for (int n = 3; n <= 22; ++n) {
        if (!(fields >> field))
            return false;
        if (n == 3)
            state = field[0];
    }
    started = std::strtoull(field.c_str(), nullptr, 10);
    return true;
}

}  // namespace

unsigned long long JournalFile::StartTimeOf(pid_t pid)
{
    char state = 0;
    unsigned long long started = 0;
    return ReadProcessStat(pid, state, started) ? started : 0;
}

namespace {

std::string HostName()
{
    char buf[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return std::string();
    return buf;
}

unsigned long long OwnStartTime()
{
    static const unsigned long long started = JournalFile::StartTimeOf(::getpid());
    return started;
}

// Appends each piece: g++ 12 at -O3 takes "x" + std::to_string(...) for an
// overlapping copy (-Wrestrict).
template <typename... Pieces>
void Append(std::string& out, const Pieces&... pieces)
{
    (out.append(pieces), ...);
}

std::string Suffix()
{
    std::string suffix;
    Append(suffix, std::string_view("~"), std::to_string(::getpid()), std::string_view("-"),
           std::to_string(OwnStartTime()), kEnding);
    return suffix;
}

int WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = FaultInjection::Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += size_t(n);
    }
    return 0;
}

// Reads "LENGTH:BYTES\n" at pos.
bool TakeCounted(const std::string& s, size_t& pos, std::string& out)
{
    size_t colon = s.find(':', pos);
    if (colon == std::string::npos)
        return false;
    size_t length = 0;
    auto [end, ec] = std::from_chars(s.data() + pos, s.data() + colon, length);
    if (ec != std::errc() || end != s.data() + colon || length > s.size() - colon - 1)
        return false;
    out = s.substr(colon + 1, length);
    pos = colon + 1 + length;
    if (pos >= s.size() || s[pos] != '\n')
        return false;
    ++pos;
    return true;
}

bool TakeLine(const std::string& s, size_t& pos, std::string_view word, std::istringstream& fields)
{
    size_t eol = s.find('\n', pos);
    if (eol == std::string::npos || s.compare(pos, word.size(), word) != 0)
        return false;
    fields.clear();
    fields.str(s.substr(pos + word.size(), eol - pos - word.size()));
    pos = eol + 1;
    return true;
}

}  // namespace

JournalHeader JournalFile::OwnHeader(const std::string& path, const FileIdentity& identity)
{
    JournalHeader h;
    h.path = path;
    h.identity = identity;
    h.pid = ::getpid();
    h.started = OwnStartTime();
    h.host = HostName();
    h.written = static_cast<long long>(std::time(nullptr));
    return h;
}

std::string JournalFile::NameFor(const std::string& path)
{
    std::string suffix = Suffix();
    return KeyFor(path, suffix.size()) + suffix;
}

std::string JournalFile::Encode(const JournalHeader& h, const std::string& text)
{
    using std::to_string;
    using V = std::string_view;
    std::string out(kMagic);
    Append(out, V("path "), to_string(h.path.size()), V(":"), h.path, V("\n"));
    Append(out, V("file "), to_string(h.identity.known ? 1 : 0), V(" "), to_string(h.identity.device), V(" "),
           to_string(h.identity.inode), V(" "), to_string(h.identity.size), V(" "),
           to_string(h.identity.modified.tv_sec), V(" "), to_string(h.identity.modified.tv_nsec), V("\n"));
    Append(out, V("pid "), to_string(h.pid), V(" "), to_string(h.started), V("\n"));
    Append(out, V("host "), to_string(h.host.size()), V(":"), h.host, V("\n"));
    Append(out, V("time "), to_string(h.written), V("\n"));
    Append(out, V("text "), to_string(text.size()), V("\n"), text);
    return out;
}

std::optional<std::pair<JournalHeader, std::string>> JournalFile::Decode(const std::string& s)
{
    if (s.compare(0, kMagic.size(), kMagic) != 0)
        return std::nullopt;
    size_t pos = kMagic.size();
    JournalHeader h;
    std::istringstream f;
    int known = 0;
    long long seconds = 0, nanoseconds = 0;
    unsigned long long device = 0, inode = 0;
    long long size = 0, pid = 0;
    size_t length = 0;
    if (s.compare(pos, 5, "path ") != 0)
        return std::nullopt;
    pos += 5;
    if (!TakeCounted(s, pos, h.path))
        return std::nullopt;
    if (!TakeLine(s, pos, "file ", f) || !(f >> known >> device >> inode >> size >> seconds >> nanoseconds))
        return std::nullopt;
    if (!TakeLine(s, pos, "pid ", f) || !(f >> pid >> h.started))
        return std::nullopt;
    if (s.compare(pos, 5, "host ") != 0)
        return std::nullopt;
    pos += 5;
    if (!TakeCounted(s, pos, h.host))
        return std::nullopt;
    if (!TakeLine(s, pos, "time ", f) || !(f >> h.written))
        return std::nullopt;
    if (!TakeLine(s, pos, "text ", f) || !(f >> length) || length != s.size() - pos)
        return std::nullopt;
    h.identity.known = known != 0;
    h.identity.device = dev_t(device);
    h.identity.inode = ino_t(inode);
    h.identity.size = off_t(size);
    h.identity.modified.tv_sec = time_t(seconds);
    h.identity.modified.tv_nsec = long(nanoseconds);
    h.pid = pid_t(pid);
    return std::make_pair(std::move(h), s.substr(pos));
}

int JournalFile::Write(int folder, const std::string& name, const JournalHeader& header, const std::string& text)
{
    const std::string temp = name + std::string(kTemp);
    // A NAME.tmp left by a cut write of this same writer goes first.
    ::unlinkat(folder, temp.c_str(), 0);
    int fd = FaultInjection::OpenAt(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int err = WriteAll(fd, Encode(header, text));
    if (err == 0 && FaultInjection::Fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && FaultInjection::RenameAt(folder, temp.c_str(), folder, name.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlinkat(folder, temp.c_str(), 0);
        return err;
    }
    // The rename itself lasts once the folder is synced.
    if (FaultInjection::Fsync(folder) != 0)
        return errno;
    return 0;
}

std::optional<Journal> JournalFile::Read(int folder, const std::string& name)
{
    int fd = FaultInjection::OpenAt(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    std::string bytes;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < kLargestJournal;
    if (whole) {
        bytes.resize(size_t(st.st_size));
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = FaultInjection::Read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += size_t(n);
        }
        whole = done == bytes.size();
    }
    ::close(fd);
    if (!whole)
        return std::nullopt;
    auto decoded = Decode(bytes);
    if (!decoded)
        return std::nullopt;
    return Journal{name, std::move(decoded->first), std::move(decoded->second)};
}

std::vector<Journal> JournalFile::ForPath(int folder, const std::string& path)
{
    std::vector<Journal> found;
    int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return found;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        size_t tilde = name.rfind('~');
        if (tilde == std::string::npos || name.size() < kEnding.size()
            || name.compare(name.size() - kEnding.size(), kEnding.size(), kEnding) != 0)
            continue;
        // Writers whose suffixes differ in length may have chosen apart.
        std::string key = name.substr(0, tilde);
        if (path.empty() ? key != "untitled" : key != Escaped(path) && key != Hashed(path))
            continue;
        if (auto journal = Read(folder, name); journal && journal->header.path == path)
            found.push_back(std::move(*journal));
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const Journal& a, const Journal& b) { return a.header.written > b.header.written; });
    return found;
}

void JournalFile::Remove(int folder, const std::string& name) { ::unlinkat(folder, name.c_str(), 0); }

bool JournalFile::IsOwn(const JournalHeader& header)
{
    return header.pid == ::getpid() && header.started == OwnStartTime() && header.host == HostName();
}

bool JournalFile::WriterRuns(const JournalHeader& header)
{
    if (header.host != HostName() || header.pid <= 0)
        return false;
    if (::kill(header.pid, 0) != 0 && errno != EPERM)
        return false;
    // A process by that number that started at another time is another
    // process, and one that ended (killed, its parent yet to wait for it)
    // edits nothing; where its state cannot be read, a live one is taken as
    // the writer.
    char state = 0;
    unsigned long long started = 0;
    if (!ReadProcessStat(header.pid, state, started))
        return true;
    return state != 'Z' && state != 'X' && started == header.started;
}
