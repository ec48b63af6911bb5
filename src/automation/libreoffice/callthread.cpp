#include "automation/libreoffice/callthread.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace word::libreoffice {

namespace {

class CallThread {
public:
    CallThread() : m_thread([this] { serve(); }) {}

    ~CallThread()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    bool start(std::function<void()> job)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_job)
                return false;
            m_job = std::move(job);
        }
        m_wake.notify_one();
        return true;
    }

private:
    void serve()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || m_job; });
            if (!m_job)
                return;
            const std::function<void()> job = m_job;
            lock.unlock();
            job();
            lock.lock();
            m_job = nullptr;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_job;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace

bool startOnCallThread(std::function<void()> job)
{
    static CallThread thread;
    return thread.start(std::move(job));
}

} // namespace word::libreoffice
