// The real window on q7msim while the unit is silent: the window keeps
// living through the retries (its clock ticks), and a close asked for in
// the middle cancels the exchange and shuts down at once.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <deque>
#include <memory>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;


class GuiLinkTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    q7mtest::QuietBoxes boxes;
    q7mtest::NoFileDialogs files;
    std::unique_ptr<EditorApp> app;

private slots:
    void init() {
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(lib.load(q7mtest::libraryPath()));
        const Paths p = q7mtest::pathsIn(sim->dir());
        boxes.shown.clear();
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &files);
        app->start();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.OnLine && app->mainWindow().isVisible(), 15000);
    }
    void cleanup() {
        app.reset();
        sim.reset();
    }

    void clockTicksWhileASilentUnitIsRetried() {
        auto* clock = app->mainWindow().findChild<QLabel*>("lblClock");
        auto* status = app->mainWindow().findChild<QLabel*>("lblStat");
        QVERIFY(clock && status);
        QStringList clockTexts;
        QTimer watch;  // samples what the window shows, from its own event loop
        connect(&watch, &QTimer::timeout, [&] {
            if (status->text() == "Data?" && (clockTexts.isEmpty() || clockTexts.back() != clock->text()))
                clockTexts << clock->text();
        });
        watch.start(20);
        QVERIFY(sim->control("silent on"));
        // The poll timer finds the unit silent: six attempts, then Off Line.
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Off Line"), 15000);
        QVERIFY2(clockTexts.size() >= 3, qPrintable("clock during the retries: " + clockTexts.join(", ")));
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(boxes.shown[0]).startsWith("Connection Error"));
    }

    void closeDuringAnExchangeCancelsItAndShutsDown() {
        auto* status = app->mainWindow().findChild<QLabel*>("lblStat");
        bool closeAsked = false, endedInside = false;
        QElapsedTimer sinceClose;
        QTimer watch;  // runs inside the window's loop while the retries go on
        connect(&watch, &QTimer::timeout, [&] {
            if (!closeAsked && status->text() == "Data?") {
                closeAsked = true;
                sinceClose.start();
                app->mainWindow().close();  // in the middle of the retries
                endedInside = app->editor().lifecycle.ended();
            }
        });
        watch.start(20);
        QVERIFY(sim->control("silent on"));
        // The retries are given up, without a report, and the shut-down
        // sequence runs at once (off line: nothing more for the unit).
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().lifecycle.ended(), 20000);
        QVERIFY(closeAsked);
        QVERIFY(!endedInside);
        QVERIFY2(sinceClose.elapsed() < 1000, qPrintable(QString("ended %1 ms after the close").arg(sinceClose.elapsed())));
        QCOMPARE(status->text(), QString("Off Line"));
        QVERIFY(boxes.shown.empty());
    }
};

QTEST_MAIN(GuiLinkTest)
#include "test_gui_link.moc"
