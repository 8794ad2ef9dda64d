// Optical alignment in the real window on q7msim: the technician's clicks
// on Start, each measurement, each projector and Stop, and what the
// pictures then hold.  Saves a screenshot of each measurement.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"
#include "ui/picture_widget.h"

using namespace zelk;

namespace {
const QColor kQtBlue(0, 0, 255);
}  // namespace

class GuiOpticalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    q7mtest::QuietBoxes boxes;
    q7mtest::NoFileDialogs files;
    std::unique_ptr<EditorApp> app;
    QWidget* win = nullptr;
    QString shots;

    template <typename T>
    T* child(const char* name) {
        T* c = win->findChild<T*>(QString::fromLatin1(name));
        if (!c) qFatal("no widget %s", name);
        return c;
    }
    PictureWidget* picture(const char* name) { return static_cast<PictureWidget*>(child<QWidget>(name)); }
    void click(QAbstractButton* b) {
        QVERIFY2(b->isVisible() && b->isEnabled(), qPrintable(b->objectName() + " cannot be clicked"));
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    long drawn() { return app->editor().optical.recordsDrawn(); }
    void waitForRecords(long more) {
        const long target = drawn() + more;
        QTRY_VERIFY_WITH_TIMEOUT(drawn() >= target, 15000);
    }

private slots:
    void initTestCase() {
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(sim->control("reader noise off"));
        QVERIFY(sim->control("reader gain 0 0"));
        QVERIFY(sim->control("reader slit 0"));
        QVERIFY(sim->control("reader azimuth 0"));
        QVERIFY(lib.load(q7mtest::libraryPath()));
        const Paths p = q7mtest::pathsIn(sim->dir());
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &files);
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.OnLine && win->isVisible(), 15000);
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = dir ? dir : GUI_ARTEFACT_DIR;
        QDir().mkpath(shots);
        // Open the tab with a click on its title.
        auto* tabs = child<QTabWidget>("SSTAB1");
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
        QCOMPARE(tabs->currentIndex(), 4);
    }

    // Each case starts its own measurement and leaves it stopped.
    void init() {
        QVERIFY(sim->control("reader gain 0 0"));
        QVERIFY(!app->editor().optical.running());
    }
    void cleanup() {
        auto* start = child<QPushButton>("cmdStart");
        if (app->editor().optical.running()) QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
    }

    void projectorButtonsStayPutWhileTheHintBlinks() {
        auto* hint = child<QLabel>("lblStart");
        auto* pro = child<QPushButton>("cmdPro(0)");
        const QPoint at = pro->mapTo(win, QPoint(0, 0));
        for (int blink = 0; blink < 2; ++blink) {
            const bool shown = hint->isVisible();
            QTRY_VERIFY_WITH_TIMEOUT(hint->isVisible() != shown, 5000);
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCOMPARE(pro->mapTo(win, QPoint(0, 0)), at);
        }
    }

    void gainBarsFollowTheReader() {
        click(child<QRadioButton>("optOptical(0)"));
        click(child<QPushButton>("cmdStart"));
        QCOMPARE(child<QPushButton>("cmdStart")->text(), QString("Stop"));
        waitForRecords(3);
        QCOMPARE(child<QLabel>("lblLock")->text(), QString("Stream Lock"));
        auto* g = picture("OptGraph");
        // Both tracks on the reference: bars from the axis up to level 80.
        QCOMPARE(g->colourAt(99, 200), kQtBlue);
        QCOMPARE(g->colourAt(227, 200), kQtBlue);
        QCOMPARE(g->colourAt(99, 60), QColor(Qt::white));
        QVERIFY(child<QLabel>("lblReadout")->text().contains("on Ref."));
        // Turning the reader lowers the right bar: above it is white again.
        QVERIFY(sim->control("reader gain 0 -6"));
        QTRY_COMPARE_WITH_TIMEOUT(g->colourAt(227, 120), QColor(Qt::white), 10000);
        QCOMPARE(g->colourAt(99, 120), kQtBlue);
        QVERIFY(win->grab().save(shots + "/optical-gain.png"));
    }

    void slitLossBandsAndProjectorTwo() {
        click(child<QRadioButton>("optOptical(1)"));
        click(child<QPushButton>("cmdStart"));
        click(child<QPushButton>("cmdPro(1)"));
        QVERIFY(child<QPushButton>("cmdPro(1)")->font().bold());
        waitForRecords(6);
        auto* g = picture("OptGraph");
        // A flat reader: every band of both halves reaches the dashed line.
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(g->colourAt(36 + 11 * i, 100), kQtBlue);
            QCOMPARE(g->colourAt(174 + 11 * i, 100), kQtBlue);
            QCOMPARE(g->colourAt(36 + 11 * i, 40), QColor(Qt::white));
        }
        QVERIFY(sim->waitForLog("TEXT A2"));
        QVERIFY(win->grab().save(shots + "/optical-slit-loss.png"));
    }

    void azimuthTrailOnTheDiagonal() {
        click(child<QRadioButton>("optOptical(2)"));
        click(child<QPushButton>("cmdStart"));
        waitForRecords(12);
        auto* a = picture("optAzi");
        QVERIFY(a->isVisible());
        QVERIFY(win->grab().save(shots + "/optical-azimuth.png"));
        // Aligned tracks: every point on the rising diagonal, none off it.
        const QImage img = a->image();
        int onDiagonal = 0, offDiagonal = 0;
        for (int y = 0; y < 256; y += 2)
            for (int x = 0; x < 256; x += 2) {
                if (a->colourAt(x, y) != kQtBlue) continue;
                (std::abs((x - 128) + (y - 128)) <= 2 ? onDiagonal : offDiagonal)++;
            }
        QVERIFY2(onDiagonal > 5 && offDiagonal == 0,
                 qPrintable(QString("on %1, off %2").arg(onDiagonal).arg(offDiagonal)));
        QVERIFY(child<QLabel>("lblReadout")->text().contains("1.000"));
        QVERIFY(win->grab().save(shots + "/optical-azimuth.png"));
    }

    // Update by its shortcut in the window: the stream is stopped for the
    // block reads and the next tick starts it again.
    void updateDuringAMeasurementAsksEachBlockOnce() {
        click(child<QRadioButton>("optOptical(0)"));
        click(child<QPushButton>("cmdStart"));
        waitForRecords(2);
        win->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), win);
        sim->clearLog();
        QTest::keyClick(win, Qt::Key_U, Qt::ControlModifier);
        waitForRecords(3);
        QCOMPARE(sim->logMatching("FRAME 01 len=1").size(), std::size_t{1});
        QCOMPARE(sim->logMatching("FRAME 02 00 len=2").size(), std::size_t{1});
        QCOMPARE(child<QLabel>("lblLock")->text(), QString("Stream Lock"));
        QCOMPARE(child<QLabel>("lblStat")->text(), QString("On Line"));
        QVERIFY(!child<QPushButton>("cmdMute4")->isEnabled());
        QVERIFY(boxes.shown.empty());
    }

    void stopClearsThePicturesAndRestoresTheFormat() {
        const int before = app->editor().vals.CurrentFormat;
        click(child<QRadioButton>("optOptical(0)"));
        click(child<QPushButton>("cmdStart"));
        waitForRecords(2);
        QCOMPARE(app->editor().vals.CurrentFormat, std::int16_t(1));
        click(child<QPushButton>("cmdStart"));
        QCOMPARE(child<QPushButton>("cmdStart")->text(), QString("Start"));
        QCOMPARE(app->editor().vals.CurrentFormat, before);
        QVERIFY(picture("OptGraph")->colourAt(99, 200) == QColor(Qt::white));
        QVERIFY(boxes.shown.empty());
    }
};

QTEST_MAIN(GuiOpticalTest)
#include "test_gui_optical.moc"
