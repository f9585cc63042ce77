// FaultInjection: makes the file layer's system calls fail on purpose, so
// that tests can drive every error path of opening, reading and saving.
//
// Every open of a file's content, read, write, fsync and rename that CFile
// and SaveFile make goes through the wrappers below (looking up folders and
// links does not). While nothing is armed a wrapper is the plain system
// call behind one test of a flag. Once armed
// (by Fail, Shorten, Count or a pause hook) each call is counted per
// operation, from 1, and the rules decide what happens:
//   - Fail(op, n, err): call n of op fails with errno err (n = 0: every call);
//   - Shorten(op, n): call n of a read or write moves only half the bytes
//     asked for, at least one (n = 0: every call);
//   - the pause hook runs before each read, write, fsync and rename, with
//     the operation; a crash test may kill the process from there, or do
//     what a crash handler would.
// The switch is process-wide and not thread-safe: besides the program's
// thread only the recovery journal's writer (JournalWriter) calls the
// wrappers, and tests arm it around the code they drive, with that writer
// idle or handed its work in turn (RecoveryJournal::Drain). Reset disarms it.
#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

class FaultInjection {
public:
    enum Operation { kOpen, kRead, kWrite, kFsync, kRename, kOperationCount };

    static void Fail(Operation op, int nth, int err);
    static void Shorten(Operation op, int nth);
    static void SetPauseHook(std::function<void(Operation)> hook);
    // Counts calls without changing any of them.
    static void Count();
    // Calls of op counted since the last Reset.
    static int Calls(Operation op);
    // Back to plain system calls; rules, hook and counts are dropped.
    static void Reset();
    static bool IsArmed() { return m_armed; }

    // The wrappers the file layer calls. They return what the system call
    // returns and set errno as it does.
    static int Open(const char* path, int flags, mode_t mode = 0) { return OpenAt(AT_FDCWD, path, flags, mode); }
    // An open relative to a folder's descriptor (an open as the rules count them).
    static int OpenAt(int folder, const char* name, int flags, mode_t mode = 0)
    {
        return m_armed ? ArmedOpenAt(folder, name, flags, mode) : ::openat(folder, name, flags, mode);
    }
    static ssize_t Read(int fd, void* buf, size_t count)
    {
        return m_armed ? ArmedRead(fd, buf, count) : ::read(fd, buf, count);
    }
    static ssize_t Write(int fd, const void* buf, size_t count)
    {
        return m_armed ? ArmedWrite(fd, buf, count) : ::write(fd, buf, count);
    }
    static int Fsync(int fd) { return m_armed ? ArmedFsync(fd) : ::fsync(fd); }
    static int Rename(const char* from, const char* to) { return RenameAt(AT_FDCWD, from, AT_FDCWD, to); }
    static int RenameAt(int fromFolder, const char* from, int toFolder, const char* to)
    {
        return m_armed ? ArmedRenameAt(fromFolder, from, toFolder, to) : ::renameat(fromFolder, from, toFolder, to);
    }
    // A rename that fails with EEXIST rather than replace a file (a rename
    // operation as the rules count them).
    static int RenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to)
    {
        return m_armed ? ArmedRenameNoReplaceAt(fromFolder, from, toFolder, to)
                       : PlainRenameNoReplaceAt(fromFolder, from, toFolder, to);
    }

private:
    static int ArmedOpenAt(int folder, const char* name, int flags, mode_t mode);
    static ssize_t ArmedRead(int fd, void* buf, size_t count);
    static ssize_t ArmedWrite(int fd, const void* buf, size_t count);
    static int ArmedFsync(int fd);
    static int ArmedRenameAt(int fromFolder, const char* from, int toFolder, const char* to);
    static int ArmedRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to);
    static int PlainRenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to);

    static inline bool m_armed = false;
};
