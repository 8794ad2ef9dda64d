// Real input from the X server while an optical measurement streams.
//
// QTest's clicks are handed to the widget at once; a technician's click
// comes through the X server and Qt's event queue, where a loop that holds
// user input back keeps it.  This test runs the editor on Xvfb and clicks
// with the XTEST extension (xdotool), so a click that stays held back while
// the stream runs makes it fail.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;

class GuiX11InputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    q7mtest::QuietBoxes boxes;
    q7mtest::NoFileDialogs files;
    std::unique_ptr<EditorApp> app;
    QWidget* win = nullptr;
    QTabWidget* tabs = nullptr;

    template <typename T>
    T* child(const char* name) {
        T* c = win->findChild<T*>(QString::fromLatin1(name));
        if (!c) qFatal("no widget %s", name);
        return c;
    }
    // A click through the X server at a point of a widget.
    static void xclick(QWidget* w, QPoint at) {
        const QPoint g = w->mapToGlobal(at);
        const int rc = QProcess::execute("xdotool", {"mousemove", QString::number(g.x()), QString::number(g.y()),
                                                     "click", "1"});
        QVERIFY2(rc == 0, "xdotool failed");
    }
    void startGain() {
        auto* start = child<QPushButton>("cmdStart");
        QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
        const long from = app->editor().optical.recordsDrawn();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().optical.recordsDrawn() >= from + 3, 15000);
    }

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X server (run through xvfb-run)");
        if (QProcess::execute("xdotool", {"version"}) != 0) QSKIP("needs xdotool");
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(lib.load(q7mtest::libraryPath()));
        const Paths p = q7mtest::pathsIn(sim->dir());
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &files);
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.OnLine && win->isVisible(), 15000);
        QVERIFY(QTest::qWaitForWindowExposed(win));
        tabs = child<QTabWidget>("SSTAB1");
        xclick(tabs->tabBar(), tabs->tabBar()->tabRect(4).center());
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), 4, 5000);
    }

    void stopIsClickableWhileTheStreamRuns() {
        startGain();
        auto* start = child<QPushButton>("cmdStart");
        QCOMPARE(start->text(), QString("Stop"));
        xclick(start, start->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(!app->editor().optical.running(), 5000);
        QCOMPARE(start->text(), QString("Start"));
    }

    void projectorAndTabClicksReachTheWindowWhileTheStreamRuns() {
        startGain();
        auto* two = child<QPushButton>("cmdPro(1)");
        xclick(two, two->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(two->font().bold(), 5000);
        QVERIFY(app->editor().optical.running());
        // Leaving the tab stops the measurement.
        xclick(tabs->tabBar(), tabs->tabBar()->tabRect(1).center());
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!app->editor().optical.running(), 5000);
        QVERIFY(sim->waitForLog("TEXT A2"));
    }

    // A click made while a silent unit is retried is held back during the
    // exchange and delivered once it is over, not lost.
    void aClickDuringTheRetriesIsDeliveredAfterThem() {
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(sim->control("silent on"));
        const QPoint tab0 = tabs->tabBar()->mapToGlobal(tabs->tabBar()->tabRect(0).center());
        // The click comes a second into the retries (about 4 s of them).
        QVERIFY(QProcess::startDetached("xdotool", {"sleep", "1", "mousemove", QString::number(tab0.x()),
                                                    QString::number(tab0.y()), "click", "1"}));
        auto* mute = child<QPushButton>("cmdMute2");
        QTest::mouseClick(mute, Qt::LeftButton, {}, mute->rect().center());
        QVERIFY(!app->editor().vals.OnLine);
        QCOMPARE(tabs->currentIndex(), 1);  // nothing ran inside the exchange
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), 0, 5000);
    }

    void cleanupTestCase() {
        if (app && app->editor().optical.running()) {
            auto* start = child<QPushButton>("cmdStart");
            QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
        }
    }
};

QTEST_MAIN(GuiX11InputTest)
#include "test_gui_x11_input.moc"
