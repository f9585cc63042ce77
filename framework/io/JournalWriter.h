// JournalWriter: writes and removes recovery journals (JournalFile) on a
// thread of its own, so that a slow or full disk never holds up typing.
// Jobs run in the order given; a write waiting for its turn is replaced by
// a newer one of the same journal. Failures are kept for the program's
// thread to take and tell.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/io/JournalFile.h"

class JournalWriter {
public:
    struct Failure {
        std::string path;  // the document's (empty: untitled)
        int err = 0;
    };

    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void Write(const std::string& name, JournalHeader header, std::string text);
    void Remove(const std::string& name);
    // Waits until every job given so far has run.
    void Drain();
    // The failures since the last call.
    std::vector<Failure> TakeFailures();

private:
    struct Job {
        bool remove = false;
        std::string name;
        JournalHeader header;
        std::string text;
    };
    void Add(Job job);
    void Loop();
    void Run(const Job& job);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::vector<Failure> m_failures;
    std::thread m_thread;
};
