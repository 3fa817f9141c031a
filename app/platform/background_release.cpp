#include "app/platform/background_release.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace velmora {

namespace {

class ReleaseThread
{
public:
    ReleaseThread() : m_worker([this] { work(); }) {}
    ~ReleaseThread()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_one();
        m_worker.join(); // everything handed over is freed before the program ends
    }

    void hand(std::function<void()> release)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(release));
        }
        m_wake.notify_one();
    }

private:
    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_ending || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            std::function<void()> release = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            release();
            release = nullptr; // what it held goes here, outside the lock
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_ending = false;
    std::thread m_worker;
};

} // namespace

void releaseInBackground(std::function<void()> release)
{
    static ReleaseThread thread;
    thread.hand(std::move(release));
}

} // namespace velmora
