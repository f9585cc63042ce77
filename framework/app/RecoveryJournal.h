// RecoveryJournal: keeps a changed document's text in a recovery journal
// (JournalFile, in the state folder), so that a kill, a power cut or a
// crash loses at most the last seconds of typing.
//
// A change only marks the journal due (no work in proportion to the text).
// When input pauses, the idle hook (InputRouter::SetIdleHook) takes the
// text as Save would write it, once typing has paused for kPause or has
// gone on for kLongest since the last journal, and hands it to the writer
// thread (JournalWriter). Saved or discarded text, and the end of the
// program, remove the journal; the end of a session keeps it. A journal
// that cannot be written is said once in a message box and tried again.
//
// Journals are off until the program turns them on (Enable), so that
// tests and tools that never ask leave nothing behind.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class CDocument;

class RecoveryJournal {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    static constexpr Clock::duration kPause = std::chrono::seconds(2);
    static constexpr Clock::duration kLongest = std::chrono::seconds(10);

    // Turns journals on, with the clock that times them.
    static void Enable(Now now = Clock::now);
    // Writes what is given and turns journals off.
    static void Disable();
    static bool Enabled();
    // Waits until every write and removal given so far is done.
    static void Drain();

    explicit RecoveryJournal(CDocument& doc);
    ~RecoveryJournal();
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    // The text changed: cheap, on every keystroke.
    void Changed();
    // The text came from another journal (named): it is kept at once under
    // this program's name, and that one then goes.
    void TakeOver(const std::string& name);
    // The text is saved or discarded: the journal goes.
    void Unchanged();
    // The session ends: the text is written now and the journal stays.
    void Keep();

private:
    // When this journal is next due, if it is.
    std::optional<Clock::time_point> Due() const;
    void Write();
    void Failed(int err);
    // Runs the due journals; when the next one is due.
    static std::optional<Clock::time_point> Idle();

    CDocument& m_doc;
    bool m_due = false;
    bool m_kept = false;
    bool m_failureSaid = false;
    Clock::time_point m_first;  // the first change not in the journal
    Clock::time_point m_last;   // the last change
    std::string m_written;      // the journal's name once written
    std::string m_replaces;     // another's journal this one takes over
};
