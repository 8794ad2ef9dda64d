// The link thread without a window: jobs run one at a time in order on
// their own thread, and what a library call writes is seen by the caller
// once the call returns.  Built under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "connection/dispatcher.h"
#include "connection/link_thread.h"
#include "editor_harness.h"

using namespace zelktest;

TEST(LinkThread, RunsJobsInOrderOnItsOwnThreadAndFinishesThemBeforeStopping) {
    std::vector<int> order;
    std::atomic<int> done{0};
    std::thread::id worker;
    {
        LinkThread t;
        for (int i = 0; i < 50; ++i)
            t.post([&, i] {
                if (i == 0) worker = std::this_thread::get_id();
                order.push_back(i);  // only the link thread touches it
            }, [&] { ++done; });
    }  // the destructor waits for the posted jobs
    EXPECT_EQ(done.load(), 50);
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(LinkThread, DispatcherReadsBlocksThroughTheThreadAndRaisesEventsOnTheCaller) {
    FakeLink fake;
    BlockingThreadRunner runner;
    ModVals vals;
    TestClock clock;
    ScriptedMessageBox msg;
    struct Sink : LinkEvents {
        std::thread::id thread;
        int changes = 0;
        void liveValueChanged(LiveValue) override {
            thread = std::this_thread::get_id();
            ++changes;
        }
    } sink;
    Dispatcher d(fake.api(), runner, vals, clock, msg, sink);
    ASSERT_EQ(d.RetryFunction(FN_InitDLL), 0);
    fake.audio[100] = 77;
    fake.volume = 33;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(d.RetryFunction(FN_GetAudio), 0);
        ASSERT_EQ(d.RetryFunction(FN_GetVol), 0);
    }
    EXPECT_EQ(vals.audioBlock.bytes[100], 77);
    EXPECT_EQ(vals.CurrentVolume, 33);
    EXPECT_EQ(sink.changes, 1);
    EXPECT_EQ(sink.thread, std::this_thread::get_id());

    fake.failNext("SetSystem", 0x0028, 6);
    EXPECT_EQ(d.RetryFunction(FN_SetSystem), 0x0028);
    EXPECT_EQ(fake.count("SetSystem"), 6);
    EXPECT_EQ(fake.names().back(), "DLLShutdown");
}
