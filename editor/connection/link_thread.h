// link_thread.h - the one thread that calls the unit link library.  Jobs
// run one at a time, in the order they were posted; `done` runs on the link
// thread right after its job, so a caller can wake itself from there.
#ifndef ZELK_CONNECTION_LINK_THREAD_H
#define ZELK_CONNECTION_LINK_THREAD_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "connection/link_runner.h"

namespace zelk {

class LinkThread {
public:
    LinkThread();
    ~LinkThread();  // finishes the jobs already posted, then joins
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    void post(std::function<void()> job, std::function<void()> done);

    // Lets the posted jobs finish for at most `ms` and joins the thread.
    // False when a job is still in the library then: the thread is left to
    // it (the program ends without waiting; the library must stay loaded).
    bool finishWithin(int ms);

private:
    void loop();
    std::mutex m_;
    std::condition_variable cv_;
    std::condition_variable idle_;
    std::deque<std::pair<std::function<void()>, std::function<void()>>> jobs_;
    bool stopping_ = false;
    bool ended_ = false;
    std::thread thread_;
};

// Runs each call on a link thread and blocks the caller until it is done
// (no event loop): for programs without a window, and for tests of the
// thread hand-over.
class BlockingThreadRunner : public LinkRunner {
public:
    bool call(std::function<void()> job) override;  // a post waits too

private:
    LinkThread thread_;
};

}  // namespace zelk

#endif
