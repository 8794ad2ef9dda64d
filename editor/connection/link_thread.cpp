#include "connection/link_thread.h"

namespace zelk {

LinkThread::LinkThread() : thread_([this] { loop(); }) {}

LinkThread::~LinkThread() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
    }
    cv_.notify_one();
    thread_.join();
}

void LinkThread::post(std::function<void()> job, std::function<void()> done) {
    {
        std::lock_guard<std::mutex> lock(m_);
        jobs_.emplace_back(std::move(job), std::move(done));
    }
    cv_.notify_one();
}

void LinkThread::loop() {
    for (;;) {
        std::pair<std::function<void()>, std::function<void()>> next;
        {
            std::unique_lock<std::mutex> lock(m_);
            cv_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, nothing left
            next = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (next.first) next.first();
        if (next.second) next.second();
    }
}

void BlockingThreadRunner::call(const std::function<void()>& libraryCall) {
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    thread_.post([&libraryCall] { libraryCall(); },
                 [&] {
                     std::lock_guard<std::mutex> lock(m);
                     finished = true;
                     cv.notify_one();
                 });
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return finished; });
}

}  // namespace zelk
