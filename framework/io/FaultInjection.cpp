#include "framework/io/FaultInjection.h"

#include <cerrno>
#include <cstdio>

namespace {

struct Rule {
    int nth = -1;  // -1: no rule; 0: every call; n: the nth call
    int error = 0;
};

struct State {
    Rule failure[CFaultInjection::opCount];
    Rule shortening[CFaultInjection::opCount];
    int calls[CFaultInjection::opCount] = {};
    std::function<void(CFaultInjection::Operation)> pause;
};

State& Faults()
{
    static State state;
    return state;
}

bool Applies(const Rule& rule, int call) { return rule.nth == 0 || rule.nth == call; }

// Counts the call and runs the pause hook; returns the errno the call is to
// fail with, or 0.
int Enter(CFaultInjection::Operation op)
{
    State& s = Faults();
    int call = ++s.calls[op];
    if (s.pause && op != CFaultInjection::opOpen)
        s.pause(op);
    return Applies(s.failure[op], call) ? s.failure[op].error : 0;
}

size_t Shortened(CFaultInjection::Operation op, size_t count)
{
    State& s = Faults();
    if (count > 1 && Applies(s.shortening[op], s.calls[op]))
        return count / 2;
    return count;
}

}  // namespace

void CFaultInjection::Fail(Operation op, int nth, int err)
{
    Faults().failure[op] = Rule{nth < 0 ? 0 : nth, err};
    s_armed = true;
}

void CFaultInjection::Shorten(Operation op, int nth)
{
    Faults().shortening[op] = Rule{nth < 0 ? 0 : nth, 0};
    s_armed = true;
}

void CFaultInjection::SetPauseHook(std::function<void(Operation)> hook)
{
    Faults().pause = std::move(hook);
    s_armed = true;
}

void CFaultInjection::Count() { s_armed = true; }

int CFaultInjection::Calls(Operation op) { return Faults().calls[op]; }

void CFaultInjection::Reset()
{
    Faults() = State();
    s_armed = false;
}

int CFaultInjection::ArmedOpenAt(int folder, const char* name, int flags, mode_t mode)
{
    if (int err = Enter(opOpen)) {
        errno = err;
        return -1;
    }
    return ::openat(folder, name, flags, mode);
}

ssize_t CFaultInjection::ArmedRead(int fd, void* buf, size_t count)
{
    if (int err = Enter(opRead)) {
        errno = err;
        return -1;
    }
    return ::read(fd, buf, Shortened(opRead, count));
}

ssize_t CFaultInjection::ArmedWrite(int fd, const void* buf, size_t count)
{
    if (int err = Enter(opWrite)) {
        errno = err;
        return -1;
    }
    return ::write(fd, buf, Shortened(opWrite, count));
}

int CFaultInjection::ArmedFsync(int fd)
{
    if (int err = Enter(opFsync)) {
        errno = err;
        return -1;
    }
    return ::fsync(fd);
}

int CFaultInjection::ArmedRenameAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    if (int err = Enter(opRename)) {
        errno = err;
        return -1;
    }
    return ::renameat(fromFolder, from, toFolder, to);
}

int CFaultInjection::ArmedRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    if (int err = Enter(opRename)) {
        errno = err;
        return -1;
    }
    return PlainRenameNoReplaceAt(fromFolder, from, toFolder, to);
}

int CFaultInjection::PlainRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system that cannot rename without replacing: a second name
    // is made as exclusively, then the first goes.
    if (::linkat(fromFolder, from, toFolder, to, 0) != 0)
        return -1;
    ::unlinkat(fromFolder, from, 0);
    return 0;
}
