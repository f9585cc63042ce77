#include "framework/app/JournalOffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <optional>

#include "framework/app/WinApp.h"
#include "framework/io/JournalFile.h"
#include "framework/io/StateFolder.h"
#include "framework/res/StringTable.h"

namespace {

// The file's bytes, when it can be read whole and is no larger than limit.
std::optional<std::string> FileBytes(const std::string& path, size_t limit)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= limit) {
        std::string data(size_t(st.st_size), '\0');
        size_t done = 0;
        ssize_t n = 0;
        while (done < data.size() && (n = ::read(fd, data.data() + done, data.size() - done)) > 0)
            done += size_t(n);
        if (done == data.size())
            bytes = std::move(data);
    }
    ::close(fd);
    return bytes;
}

CString When(long long seconds)
{
    time_t t = time_t(seconds);
    struct tm local = {};
    char buf[64] = {};
    if (::localtime_r(&t, &local))
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return CString::FromBytes(buf);
}

int Ask(UINT id, const CString& s1, const CString& s2, const CString& extra, UINT type)
{
    CString text;
    AfxFormatString2(text, id, s1, s2);
    return AfxMessageBox(text + extra, type | MB_ICONEXCLAMATION);
}

// The NAME.save copy beside the file, when it is newer than the file.
CString NewerSaveCopy(const CString& path)
{
    CString copy = path + u".save";
    struct stat file, saved;
    if (::stat(copy.ToBytes().c_str(), &saved) != 0 || !S_ISREG(saved.st_mode))
        return CString();
    if (::stat(path.ToBytes().c_str(), &file) == 0
        && (saved.st_mtim.tv_sec < file.st_mtim.tv_sec
            || (saved.st_mtim.tv_sec == file.st_mtim.tv_sec && saved.st_mtim.tv_nsec <= file.st_mtim.tv_nsec)))
        return CString();
    CString line;
    AfxFormatString1(line, AFX_IDP_JOURNAL_SAVE_COPY, copy);
    return line;
}

}  // namespace

JournalOffer JournalOffer::ForFile(const CString& path)
{
    JournalOffer offer;
    int folder = StateFolder::Open();
    if (folder < 0)
        return offer;
    const std::string bytes = path.ToBytes();
    std::vector<Journal> journals = JournalFile::ForPath(folder, bytes);
    for (const Journal& j : journals) {
        if (JournalFile::IsOwn(j.header) || !JournalFile::WriterRuns(j.header))
            continue;
        CString pid;
        pid.Format(u"%d", int(j.header.pid));
        if (Ask(AFX_IDP_JOURNAL_LIVE, path, pid, CString(), MB_YESNO) != IDYES)
            offer.answer = kOpenNothing;
        ::close(folder);
        return offer;
    }
    std::optional<std::string> onDisk;
    bool read = false;
    for (const Journal& j : journals) {
        if (JournalFile::IsOwn(j.header))
            continue;
        if (!read) {
            onDisk = FileBytes(bytes, j.text.size());
            read = true;
        }
        if (onDisk && *onDisk == j.text) {
            JournalFile::Remove(folder, j.name);
            continue;
        }
        int answer = Ask(AFX_IDP_JOURNAL_KEPT, path, When(j.header.written), NewerSaveCopy(path), MB_YESNOCANCEL);
        if (answer == IDYES) {
            offer = {kOpenKept, j.text, j.header.identity, j.name};
            break;
        }
        if (answer != IDNO) {
            offer.answer = kOpenNothing;
            break;
        }
        JournalFile::Remove(folder, j.name);
    }
    ::close(folder);
    return offer;
}

JournalOffer JournalOffer::ForUntitled()
{
    JournalOffer offer;
    int folder = StateFolder::Open();
    if (folder < 0)
        return offer;
    for (const Journal& j : JournalFile::ForPath(folder, std::string())) {
        if (JournalFile::IsOwn(j.header) || JournalFile::WriterRuns(j.header))
            continue;
        int answer = Ask(AFX_IDP_JOURNAL_KEPT_UNTITLED, When(j.header.written), CString(), CString(), MB_YESNOCANCEL);
        if (answer == IDYES) {
            offer = {kOpenKept, j.text, j.header.identity, j.name};
            break;
        }
        if (answer != IDNO)
            break;
        JournalFile::Remove(folder, j.name);
    }
    ::close(folder);
    return offer;
}
