// A fixed set of worker threads with a bounded queue, for the work that must not
// run on the I/O threads (password hashing). tryPost() never blocks: a full queue
// refuses the job at once, and the caller answers "busy". Thread-safe.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velko::server {

class WorkQueue
{
public:
    // `threads` workers (at least one); at most `capacity` jobs wait besides the
    // running ones.
    WorkQueue(int threads, std::size_t capacity);
    // Lets the running jobs finish, drops the waiting ones, joins the workers.
    ~WorkQueue();
    WorkQueue(const WorkQueue &) = delete;
    WorkQueue &operator=(const WorkQueue &) = delete;

    // False (and the job dropped) when the queue is full or stopping.
    bool tryPost(std::function<void()> job);
    // Jobs waiting, not counting the running ones.
    std::size_t waiting();

private:
    void work();

    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace velko::server
