#include "framework/app/RecoveryJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/app/Document.h"
#include "framework/app/WinApp.h"
#include "framework/base/Exception.h"
#include "framework/io/JournalWriter.h"
#include "framework/res/StringTable.h"
#include "framework/win/WindowSystem.h"

namespace {

struct Journals {
    bool enabled = false;
    RecoveryJournal::Now now;
    std::unique_ptr<JournalWriter> writer;
    std::vector<RecoveryJournal*> live;
    bool inIdle = false;
};

Journals& State()
{
    static Journals journals;
    return journals;
}

JournalWriter& Writer()
{
    Journals& s = State();
    if (!s.writer)
        s.writer = std::make_unique<JournalWriter>();
    return *s.writer;
}

}  // namespace

void RecoveryJournal::Enable(Now now)
{
    Journals& s = State();
    s.enabled = true;
    s.now = std::move(now);
    WindowSystem::Get().Router().SetIdleHook(&RecoveryJournal::Idle);
}

void RecoveryJournal::Disable()
{
    Journals& s = State();
    s.writer.reset();  // its thread finishes what it was given
    s.enabled = false;
    WindowSystem::Get().Router().SetIdleHook(nullptr);
}

bool RecoveryJournal::Enabled() { return State().enabled; }

void RecoveryJournal::Drain()
{
    if (State().writer)
        State().writer->Drain();
}

RecoveryJournal::RecoveryJournal(CDocument& doc) : m_doc(doc)
{
    State().live.push_back(this);
    // A document made after Enable (the hook outlives a window system reset).
    if (State().enabled)
        WindowSystem::Get().Router().SetIdleHook(&RecoveryJournal::Idle);
}

RecoveryJournal::~RecoveryJournal()
{
    std::erase(State().live, this);
    if (!m_kept)
        Unchanged();
}

void RecoveryJournal::Changed()
{
    const Clock::time_point now = State().now();
    if (!m_due) {
        m_due = true;
        m_first = now;
    }
    m_last = now;
}

void RecoveryJournal::TakeOver(const std::string& name)
{
    m_replaces = name;
    Changed();
    m_first -= kLongest;  // due at once
}

void RecoveryJournal::Unchanged()
{
    m_due = false;
    m_kept = false;
    if (!m_written.empty() && State().enabled) {
        Writer().Remove(m_written);
        m_written.clear();
    }
}

void RecoveryJournal::Keep()
{
    if (m_due && State().enabled)
        Write();
    m_kept = !m_written.empty();
}

std::optional<RecoveryJournal::Clock::time_point> RecoveryJournal::Due() const
{
    if (!m_due)
        return std::nullopt;
    return std::min(m_last + kPause, m_first + kLongest);
}

void RecoveryJournal::Write()
{
    std::string text;
    try {
        text = m_doc.JournalText();
    } catch (CException&) {
        Failed(ENOMEM);
        return;
    }
    const std::string path = m_doc.GetPathName().ToBytes();
    const std::string name = JournalFile::NameFor(path);
    JournalWriter& writer = Writer();
    writer.Write(name, JournalFile::OwnHeader(path, m_doc.GetFileIdentity()), std::move(text));
    // The text now has its place under its name: older places go after it.
    if (!m_written.empty() && m_written != name)
        writer.Remove(m_written);
    if (!m_replaces.empty() && m_replaces != name)
        writer.Remove(m_replaces);
    m_replaces.clear();
    m_written = name;
    m_due = false;
}

void RecoveryJournal::Failed(int err)
{
    // Tried again after the next pause.
    m_due = true;
    m_first = m_last = State().now();
    if (m_failureSaid)
        return;
    m_failureSaid = true;
    CString name = m_doc.GetPathName().IsEmpty() ? m_doc.GetTitle() : m_doc.GetPathName();
    CString text;
    AfxFormatString2(text, AFX_IDP_JOURNAL_FAILED, name, CString::FromBytes(std::strerror(err)));
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

std::optional<RecoveryJournal::Clock::time_point> RecoveryJournal::Idle()
{
    Journals& s = State();
    if (!s.enabled || s.inIdle)
        return std::nullopt;
    s.inIdle = true;
    const Clock::time_point now = s.now();
    std::vector<RecoveryJournal*> journals = s.live;
    for (RecoveryJournal* j : journals)
        if (std::optional<Clock::time_point> due = j->Due(); due && *due <= now)
            j->Write();
    // What failed on the writer's thread is said here, once a journal.
    if (s.writer)
        for (const JournalWriter::Failure& f : s.writer->TakeFailures())
            for (RecoveryJournal* j : s.live)
                if (j->m_doc.GetPathName().ToBytes() == f.path) {
                    j->Failed(f.err);
                    break;
                }
    std::optional<Clock::time_point> next;
    for (RecoveryJournal* j : s.live)
        if (std::optional<Clock::time_point> due = j->Due(); due && (!next || *due < next))
            next = due;
    s.inIdle = false;
    return next;
}
