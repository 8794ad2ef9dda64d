// link_runner.h - where the library's calls run.  The dispatcher hands
// every call to a runner and waits for it, so its routines keep their
// sequential shape (ask, wait for the answer, decide) whatever the runner
// does meanwhile: tests run the call at once; the windowed editor runs it
// on its link thread while the window keeps painting.
#ifndef ZELK_CONNECTION_LINK_RUNNER_H
#define ZELK_CONNECTION_LINK_RUNNER_H

#include <functional>

namespace zelk {

class LinkRunner {
public:
    virtual ~LinkRunner() = default;
    // Runs one library call and returns when it has finished.  Only the
    // runner's thread ever calls into the library.
    virtual void call(const std::function<void()>& libraryCall) = 0;
    // An exchange (a call with its retries, pauses and error report) starts
    // or ends; anything that would start another exchange meanwhile (a
    // timer tick, a queued click) waits until the outermost one has ended.
    virtual void exchangeBegins() {}
    virtual void exchangeEnds() {}
};

// Runs each call at once on the caller's thread.
class DirectRunner : public LinkRunner {
public:
    void call(const std::function<void()>& libraryCall) override { libraryCall(); }
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
