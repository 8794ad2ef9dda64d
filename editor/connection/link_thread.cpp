#include "connection/link_thread.h"

#include <chrono>

namespace zelk {

LinkThread::LinkThread() : thread_([this] { loop(); }) {}

LinkThread::~LinkThread() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
    }
    cv_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void LinkThread::post(std::function<void()> job, std::function<void()> done) {
    {
        std::lock_guard<std::mutex> lock(m_);
        jobs_.emplace_back(std::move(job), std::move(done));
    }
    cv_.notify_one();
}

bool LinkThread::finishWithin(int ms) {
    std::unique_lock<std::mutex> lock(m_);
    stopping_ = true;
    cv_.notify_one();
    if (!idle_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return ended_; })) {
        thread_.detach();
        return false;
    }
    lock.unlock();
    if (thread_.joinable()) thread_.join();
    return true;
}

void LinkThread::loop() {
    for (;;) {
        std::pair<std::function<void()>, std::function<void()>> next;
        {
            std::unique_lock<std::mutex> lock(m_);
            cv_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {  // stopping, nothing left
                ended_ = true;
                idle_.notify_all();
                return;
            }
            next = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (next.first) next.first();
        if (next.second) next.second();
    }
}

bool BlockingThreadRunner::call(std::function<void()> job) {
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    thread_.post(std::move(job), [&] {
        std::lock_guard<std::mutex> lock(m);
        finished = true;
        cv.notify_one();
    });
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return finished; });
    return true;
}

}  // namespace zelk
