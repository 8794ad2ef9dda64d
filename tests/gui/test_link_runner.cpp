// The link runner of the windowed editor: library calls run on the link
// thread while the window's event loop keeps turning; timer ticks that
// arrive during an exchange run after it, never inside it.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "connection/dispatcher.h"
#include "editor_harness.h"
#include "ui/qt_link_runner.h"

using namespace zelk;

class TestLinkRunner : public QObject {
    Q_OBJECT
private slots:
    void callRunsOnTheLinkThreadWhileTheLoopTurns() {
        QtLinkRunner runner;
        int turns = 0;
        QTimer spin;
        connect(&spin, &QTimer::timeout, [&] { ++turns; });
        spin.start(0);
        std::thread::id callThread;
        runner.call([&] {
            callThread = std::this_thread::get_id();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        });
        QVERIFY(callThread != std::this_thread::get_id());
        QVERIFY2(turns > 10, qPrintable(QString("the loop turned %1 times in 200 ms").arg(turns)));
        QVERIFY(!runner.busy());

        // A pause waits the same way.
        turns = 0;
        runner.wait(100);
        QVERIFY(turns > 5);
    }

    void ticksDuringAnExchangeRunAfterItOnceAndInOrder() {
        QtLinkRunner runner;
        std::vector<std::string> seen;
        int a = 0, b = 0;
        QTimer ticker;  // two "timers" ticking while the exchange is in flight
        connect(&ticker, &QTimer::timeout, [&] {
            runner.whenIdle(&a, [&] { seen.push_back("poll"); });
            runner.whenIdle(&b, [&] { seen.push_back("refresh"); });
        });
        ticker.start(5);
        {
            ExchangeScope exchange(runner);
            runner.call([&] { std::this_thread::sleep_for(std::chrono::milliseconds(150)); });
            seen.push_back("retry pause");
            runner.wait(50);
            ticker.stop();
            QVERIFY(runner.busy());
        }
        QCOMPARE(seen.size(), std::size_t(1));  // nothing ran inside the exchange
        QTRY_COMPARE(seen.size(), std::size_t(3));
        QCOMPARE(seen[1], std::string("poll"));
        QCOMPARE(seen[2], std::string("refresh"));
        // Idle: a tick runs at once.
        runner.whenIdle(&a, [&] { seen.push_back("now"); });
        QCOMPARE(seen.back(), std::string("now"));
    }

    void deferredActionsRunOnceEachWhenOneStartsAnExchange() {
        QtLinkRunner runner;
        std::vector<std::string> seen;
        int a = 0, b = 0;
        auto poll = [&] { seen.push_back("poll"); };
        auto refresh = [&] { seen.push_back("refresh"); };
        {
            ExchangeScope exchange(runner);
            // Deferred: an update that talks to the unit, then a refresh.
            runner.whenIdle(&a, [&] {
                seen.push_back("update");
                ExchangeScope inner(runner);
                runner.call([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
                // Both timers tick again while the update's exchange runs.
                runner.whenIdle(&a, poll);
                runner.whenIdle(&b, refresh);
            });
            runner.whenIdle(&b, refresh);
            runner.call([] {});
        }
        QTRY_COMPARE(seen.size(), std::size_t(3));
        QTest::qWait(100);
        // The refresh deferred twice runs once, after the update; the tick
        // deferred during the update runs after that.
        QCOMPARE(seen, (std::vector<std::string>{"update", "refresh", "poll"}));
    }

    void aCancelEndsTheWaitAtOnceAndTheNextCallQueuesBehind() {
        QtLinkRunner runner;
        std::vector<int> order;  // written on the link thread only
        QElapsedTimer t;
        bool finished = true;
        {
            ExchangeScope exchange(runner);
            QTimer::singleShot(200, [&] { runner.requestCancel(); });
            t.start();
            finished = runner.call([&order] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                order.push_back(1);
            });
            QVERIFY(runner.cancelRequested());
        }
        const qint64 gaveUpAfter = t.elapsed();
        QVERIFY(!finished);
        QVERIFY2(gaveUpAfter < 500, qPrintable(QString("the wait ended after %1 ms").arg(gaveUpAfter)));
        QVERIFY(!runner.cancelRequested());  // spent with the exchange
        QVERIFY(runner.call([&order] { order.push_back(2); }));
        QCOMPARE(order, (std::vector<int>{1, 2}));
        // Nothing in flight: a cancel asked for now is ignored.
        runner.requestCancel();
        QVERIFY(!runner.cancelRequested());
    }

    void dispatcherRetriesOnTheLinkThreadInTheSameOrder() {
        // The dispatcher's order of calls, pauses and reports is the same
        // through the threaded runner as through the direct one.
        zelktest::FakeLink fake;
        QtLinkRunner runner;
        ModVals vals;
        vals.OnLine = kTrue;
        zelktest::TestClock clock;
        zelktest::ScriptedMessageBox msg;
        LinkEventHub events;
        Dispatcher d(fake.api(), runner, vals, clock, msg, events);
        fake.failNext("GetFormat", 0x0084, 2);
        QCOMPARE(d.RetryFunction(FN_GetFormat), std::uint16_t(0));
        const std::vector<std::string> expected = {"GetFormat", "ClearError", "GetFormat", "ClearError", "GetFormat"};
        QVERIFY(fake.names() == expected);
        QCOMPARE(clock.sleptMs, 600L);
    }

    // Last: the application is told to quit while a call is awaited (every
    // event loop then returns at once).  The wait must not spin.
    void aWaitAfterQuitDoesNotSpin() {
        QtLinkRunner runner;
        QCoreApplication::exit(0);
        const std::clock_t cpu = std::clock();
        QVERIFY(runner.call([] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }));
        const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        QVERIFY2(cpuMs < 150, qPrintable(QString("%1 ms of processor time for a 300 ms wait").arg(cpuMs)));
    }
};

QTEST_MAIN(TestLinkRunner)
#include "test_link_runner.moc"
