#include "core/threads/serial_thread.h"

namespace velmora {

SerialThread::SerialThread() : m_worker([this] { work(); }) {}

SerialThread::~SerialThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

void SerialThread::hand(std::function<void()> job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void SerialThread::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        std::function<void()> job = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        job();
        job = nullptr; // what it held goes here, outside the lock
        lock.lock();
    }
}

} // namespace velmora
