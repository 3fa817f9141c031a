#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace velmora {

// A thread that lives as long as its owner and runs the jobs handed to it one after
// another, in the order handed over. Destroyed, it first runs what is still queued.
class SerialThread
{
public:
    SerialThread();
    ~SerialThread();
    SerialThread(const SerialThread&) = delete;
    SerialThread& operator=(const SerialThread&) = delete;

    void hand(std::function<void()> job);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_ending = false;
    std::thread m_worker;
};

} // namespace velmora
