#include "framework/io/JournalWriter.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "framework/io/StateFolder.h"

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void JournalWriter::Write(const std::string& name, JournalHeader header, std::string text)
{
    Add(Job{false, name, std::move(header), std::move(text)});
}

void JournalWriter::Remove(const std::string& name) { Add(Job{true, name, {}, {}}); }

void JournalWriter::Add(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        if (!job.remove)
            for (Job& waiting : m_jobs)
                if (!waiting.remove && waiting.name == job.name) {
                    waiting = std::move(job);
                    return;
                }
        m_jobs.push_back(std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Loop(); });
    }
    m_wake.notify_one();
}

void JournalWriter::Drain()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

std::vector<JournalWriter::Failure> JournalWriter::TakeFailures()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failures, {});
}

void JournalWriter::Loop()
{
    // Signals are the program thread's to take: the end of the session and
    // the terminal's signals are handled there.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        Run(job);
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

void JournalWriter::Run(const Job& job)
{
    int err = 0;
    int folder = StateFolder::Open();
    if (folder < 0) {
        err = errno;
    } else {
        if (job.remove)
            JournalFile::Remove(folder, job.name);
        else
            err = JournalFile::Write(folder, job.name, job.header, job.text);
        ::close(folder);
    }
    if (err != 0 && !job.remove) {
        std::lock_guard lock(m_mutex);
        m_failures.push_back({job.header.path, err});
    }
}
