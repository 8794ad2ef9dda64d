// link_runner.h - where the library's calls run.  The dispatcher hands
// every call to a runner and waits for it, so its routines keep their
// sequential shape (ask, wait for the answer, decide) whatever the runner
// does meanwhile: tests run the call at once; the windowed editor runs it
// on its link thread while the window keeps painting.
//
// The user may stop waiting (Cancel, Escape, closing the window).  A call
// already in the library is never interrupted: the runner stops waiting for
// it and the call finishes on the link thread by itself, with the calls
// posted after it queued behind.  So a job owns everything it touches
// (copies and shared buffers, never the caller's locals or the record):
// it may outlive the wait.
#ifndef ZELK_CONNECTION_LINK_RUNNER_H
#define ZELK_CONNECTION_LINK_RUNNER_H

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace zelk {

class LinkRunner {
public:
    virtual ~LinkRunner() = default;
    // Runs one library call and returns when it has finished (true), or
    // when a cancel was asked for while waiting for it (false).  Only the
    // runner's thread ever calls into the library.
    virtual bool call(std::function<void()> job) = 0;
    // Hands a call over without waiting for it: it runs after the calls
    // already handed over, the one still in the library included.
    virtual void post(std::function<void()> job) { call(std::move(job)); }

    // Runs `f` where library calls run and returns its result, or nothing
    // when the wait was given up.  `f` must own what it touches.
    template <typename F>
    auto result(F f) -> std::optional<decltype(f())> {
        auto out = std::make_shared<std::optional<decltype(f())>>();
        if (!call([f = std::move(f), out]() mutable { *out = f(); })) return std::nullopt;
        return *out;
    }

    // An exchange (a call with its retries, pauses and error report) starts
    // or ends; anything that would start another exchange meanwhile (a
    // timer tick, a queued click) waits until the outermost one has ended.
    // A cancel asked for during an exchange lasts until the outermost one
    // has ended.
    virtual void exchangeBegins() { ++depth_; }
    virtual void exchangeEnds() {
        if (--depth_ == 0) cancel_ = false;
    }
    bool inExchange() const { return depth_ > 0; }

    // The user no longer wants to wait for the unit.  The dispatcher looks
    // at it between attempts; a wait in progress returns at once.  Asked
    // for while nothing is in flight, it does nothing.
    virtual void requestCancel() {
        if (depth_ > 0) cancel_ = true;
    }
    bool cancelRequested() const { return cancel_; }

protected:
    int depth_ = 0;
    bool cancel_ = false;
};

// Runs each call at once on the caller's thread.  A cancel asked for
// during a call (by a test's script) gives that call up afterwards.
class DirectRunner : public LinkRunner {
public:
    bool call(std::function<void()> job) override {
        job();
        return !cancel_;
    }
};

// Marks an exchange for the life of the object.
class ExchangeScope {
public:
    explicit ExchangeScope(LinkRunner& r) : r_(r) { r_.exchangeBegins(); }
    ~ExchangeScope() { r_.exchangeEnds(); }
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;

private:
    LinkRunner& r_;
};

}  // namespace zelk

#endif
