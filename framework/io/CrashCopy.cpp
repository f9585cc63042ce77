#include "framework/io/CrashCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "framework/base/Narrowing.h"
#include "framework/base/SafeText.h"
#include "framework/base/Utf8Codec.h"

namespace {

constexpr std::size_t kMaxNames = 4;
constexpr std::size_t kNameRoom = PATH_MAX;
constexpr std::size_t kLineRoom = 2 * PATH_MAX + 1024;
// The text is narrowed or encoded here before any file is made, so that a
// fault while reading it (storage that went bad) leaves no file that holds a
// part of it. Three megabytes: an edit control's text in UTF-8, three bytes
// a unit at most, and memory the system gives only when a crash writes it.
unsigned char g_bytes[std::size_t(3) << 20];

// The prepared state. A change clears the flag first and sets it last, with
// fences between, so that a handler never reads a half-made change.
volatile std::sig_atomic_t g_armed = 0;
volatile std::sig_atomic_t g_textSet = 0;
const void* g_owner = nullptr;
CrashCopy::Reader g_reader = nullptr;
const void* g_source = nullptr;
char g_names[kMaxNames][kNameRoom];
std::size_t g_nameCount = 0;
char g_savedBefore[kLineRoom];
char g_savedAfter[kLineRoom];
char g_lost[kLineRoom];
char g_changing[kLineRoom];
// The name a copy took, as the report shows it.
char g_shownPath[4 * kNameRoom + 16];

void Fence() { std::atomic_signal_fence(std::memory_order_seq_cst); }

// The line made safe, with its line end, into to (kLineRoom bytes).
void CopyLine(char* to, const std::string& line, bool ends)
{
    std::size_t n = SafeTextInto(line, to, kLineRoom - 1);
    if (ends) {
        to[n] = '\n';
        to[n + 1] = '\0';
    }
}

bool WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= std::size_t(w);
    }
    return true;
}

void Say(int fd, const char* text)
{
    if (fd >= 0)
        WriteAll(fd, text, std::strlen(text));
}

// fsync, again when a signal interrupted it.
int Sync(int fd)
{
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result;
}

// The text encoded as UTF-8 into g_bytes; its length, or -1 when the pieces
// make no sense or might not fit.
long Encode(const CrashCopy::Pieces& text)
{
    constexpr std::size_t kMostUnits = sizeof g_bytes / Utf8Codec::Encoder::kMostBytesPerUnit;
    if (text.size[0] > kMostUnits || text.size[1] > kMostUnits - text.size[0])
        return -1;
    Utf8Codec::Encoder encoder(Utf8Codec::Encoder::Text::File);
    std::size_t fill = 0;
    for (int piece = 0; piece < 2; ++piece) {
        if (text.size[piece] > 0 && !text.data[piece])
            return -1;
        fill += encoder.Encode(text.data[piece], text.size[piece], g_bytes + fill);
    }
    fill += encoder.Finish(g_bytes + fill);
    return long(fill);
}

// The text, narrowed as Save narrows it (or encoded, as the reader says),
// into g_bytes; its length, or -1 when the pieces make no sense or do not
// fit.
long Narrow(const CrashCopy::Pieces& text)
{
    if (text.utf8)
        return Encode(text);
    std::size_t fill = 0;
    for (int piece = 0; piece < 2; ++piece) {
        const char16_t* units = text.data[piece];
        const std::size_t count = text.size[piece];
        if (count > sizeof g_bytes - fill || (count > 0 && !units))
            return -1;
        NarrowUnits(units, count, g_bytes + fill);
        fill += count;
    }
    return long(fill);
}

// name, then ".number" when number is not 0, into out (room for a name and
// a number).
void NumberedName(const char* name, int number, char* out)
{
    std::size_t n = std::strlen(name);
    std::memcpy(out, name, n);
    if (number > 0) {
        char digits[8];
        int count = 0;
        for (int v = number; v > 0; v /= 10)
            digits[count++] = char('0' + v % 10);
        out[n++] = '.';
        while (count > 0)
            out[n++] = digits[--count];
    }
    out[n] = '\0';
}

}  // namespace

void CrashCopy::SetText(Reader reader, const void* source)
{
    g_textSet = 0;
    Fence();
    g_reader = reader;
    g_source = source;
    Fence();
    g_textSet = reader != nullptr;
}

void CrashCopy::ClearText(const void* source)
{
    if (g_source == source)
        SetText(nullptr, nullptr);
}

void CrashCopy::Arm(const void* owner, const Plan& plan)
{
    g_armed = 0;
    Fence();
    g_owner = owner;
    g_nameCount = 0;
    for (const std::string& name : plan.names) {
        // Room for the name, a number and the end.
        if (g_nameCount == kMaxNames || name.empty() || name.size() + 8 > kNameRoom)
            continue;
        std::memcpy(g_names[g_nameCount], name.data(), name.size());
        g_names[g_nameCount][name.size()] = '\0';
        ++g_nameCount;
    }
    CopyLine(g_savedBefore, plan.savedBefore, false);
    CopyLine(g_savedAfter, plan.savedAfter, true);
    CopyLine(g_lost, plan.lost, true);
    CopyLine(g_changing, plan.changing, true);
    Fence();
    g_armed = 1;
}

void CrashCopy::Disarm(const void* owner)
{
    if (g_owner != owner)
        return;
    g_armed = 0;
    Fence();
    g_owner = nullptr;
}

bool CrashCopy::Write(int reportFd) noexcept
{
    if (!g_armed || !g_textSet)
        return false;
    Fence();
    int savedErrno = errno;
    const CrashCopy::Pieces text = g_reader(g_source);
    if (text.changing) {
        Say(reportFd, g_changing);
        errno = savedErrno;
        return false;
    }
    const long length = Narrow(text);
    if (length < 0) {
        Say(reportFd, g_lost);
        errno = savedErrno;
        return false;
    }
    char path[kNameRoom];
    for (std::size_t i = 0; i < g_nameCount; ++i) {
        for (int number = 0; number <= kMaxNumber; ++number) {
            NumberedName(g_names[i], number, path);
            int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
            if (fd < 0 && errno == EINTR) {
                --number;
                continue;
            }
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                break;  // this folder takes no copy: the next one may
            }
            bool written = WriteAll(fd, reinterpret_cast<const char*>(g_bytes), std::size_t(length))
                && (Sync(fd) == 0 || errno == EINVAL);
            ::close(fd);
            if (written) {
                Say(reportFd, g_savedBefore);
                SafeTextInto(path, g_shownPath, sizeof g_shownPath);
                Say(reportFd, g_shownPath);
                Say(reportFd, g_savedAfter);
                errno = savedErrno;
                return true;
            }
            ::unlink(path);  // a part of the text is no copy of it
            break;
        }
    }
    Say(reportFd, g_lost);
    errno = savedErrno;
    return false;
}
