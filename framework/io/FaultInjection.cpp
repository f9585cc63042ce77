#include "framework/io/FaultInjection.h"

#include <cerrno>
#include <cstdio>

namespace {

struct Rule {
    int nth = -1;  // -1: no rule; 0: every call; n: the nth call
    int error = 0;
};

struct State {
    Rule failure[FaultInjection::kOperationCount];
    Rule shortening[FaultInjection::kOperationCount];
    int calls[FaultInjection::kOperationCount] = {};
    std::function<void(FaultInjection::Operation)> pause;
};

State& Faults()
{
    static State state;
    return state;
}

bool Applies(const Rule& rule, int call) { return rule.nth == 0 || rule.nth == call; }

// Counts the call and runs the pause hook; returns the errno the call is to
// fail with, or 0.
int Enter(FaultInjection::Operation op)
{
    State& s = Faults();
    int call = ++s.calls[op];
    if (s.pause && op != FaultInjection::kOpen)
        s.pause(op);
    return Applies(s.failure[op], call) ? s.failure[op].error : 0;
}

size_t Shortened(FaultInjection::Operation op, size_t count)
{
    State& s = Faults();
    if (count > 1 && Applies(s.shortening[op], s.calls[op]))
        return count / 2;
    return count;
}

}  // namespace

void FaultInjection::Fail(Operation op, int nth, int err)
{
    Faults().failure[op] = Rule{nth < 0 ? 0 : nth, err};
    m_armed = true;
}

void FaultInjection::Shorten(Operation op, int nth)
{
    Faults().shortening[op] = Rule{nth < 0 ? 0 : nth, 0};
    m_armed = true;
}

void FaultInjection::SetPauseHook(std::function<void(Operation)> hook)
{
    Faults().pause = std::move(hook);
    m_armed = true;
}

void FaultInjection::Count() { m_armed = true; }

int FaultInjection::Calls(Operation op) { return Faults().calls[op]; }

void FaultInjection::Reset()
{
    Faults() = State();
    m_armed = false;
}

int FaultInjection::ArmedOpenAt(int folder, const char* name, int flags, mode_t mode)
{
    if (int err = Enter(kOpen)) {
        errno = err;
        return -1;
    }
    return ::openat(folder, name, flags, mode);
}

ssize_t FaultInjection::ArmedRead(int fd, void* buf, size_t count)
{
    if (int err = Enter(kRead)) {
        errno = err;
        return -1;
    }
    return ::read(fd, buf, Shortened(kRead, count));
}

ssize_t FaultInjection::ArmedWrite(int fd, const void* buf, size_t count)
{
    if (int err = Enter(kWrite)) {
        errno = err;
        return -1;
    }
    return ::write(fd, buf, Shortened(kWrite, count));
}

int FaultInjection::ArmedFsync(int fd)
{
    if (int err = Enter(kFsync)) {
        errno = err;
        return -1;
    }
    return ::fsync(fd);
}

int FaultInjection::ArmedRenameAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    if (int err = Enter(kRename)) {
        errno = err;
        return -1;
    }
    return ::renameat(fromFolder, from, toFolder, to);
}

int FaultInjection::ArmedRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    if (int err = Enter(kRename)) {
        errno = err;
        return -1;
    }
    return PlainRenameNoReplaceAt(fromFolder, from, toFolder, to);
}

int FaultInjection::PlainRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to)
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
