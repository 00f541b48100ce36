#include "workqueue.h"

#include <algorithm>

namespace velko::server {

WorkQueue::WorkQueue(int threads, std::size_t capacity) : m_capacity(capacity)
{
    for (int i = 0; i < std::max(1, threads); ++i)
        m_threads.emplace_back([this] { work(); });
}

WorkQueue::~WorkQueue()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        dropped.swap(m_jobs);
    }
    m_ready.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
    // `dropped` goes last: its jobs' captures may refer to what the workers used.
}

bool WorkQueue::tryPost(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || m_jobs.size() >= m_capacity)
            return false;
        m_jobs.push_back(std::move(job));
    }
    m_ready.notify_one();
    return true;
}

std::size_t WorkQueue::waiting()
{
    std::lock_guard lock(m_mutex);
    return m_jobs.size();
}

void WorkQueue::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_ready.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

} // namespace velko::server
