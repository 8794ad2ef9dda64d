// Real input from the X server while the editor waits for the unit.
//
// QTest's clicks are handed to the widget at once; a technician's click
// comes through the X server and Qt's event queue, where a loop that holds
// user input back keeps it.  These tests run the editor on Xvfb and click
// and type with the XTEST extension (xdotool); the window manager's close
// request is sent as a window manager sends it.  The message boxes are the
// real ones: their event loops take part.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

#include "connection/link_api.h"
#include "mute_server.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;

namespace {

template <typename T>
T* child(QWidget* win, const char* name) {
    T* c = win->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no widget %s", name);
    return c;
}

// A click through the X server at a point of a widget.
bool xclick(QWidget* w, QPoint at) {
    const QPoint g = w->mapToGlobal(at);
    return QProcess::execute("xdotool", {"mousemove", QString::number(g.x()), QString::number(g.y()), "click", "1"}) ==
           0;
}
bool xclick(QWidget* w) { return xclick(w, w->rect().center()); }

// The close box of a window as a window manager reports it: WM_PROTOCOLS
// with WM_DELETE_WINDOW, sent through the X server by another client.
bool askWindowToClose(std::uint32_t window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    auto atom = [c](const char* name) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                                        nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        return a;
    };
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = atom("WM_PROTOCOLS");
    ev.data.data32[0] = atom("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent =
        xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    // Waits for the server to have handled the request: a connection closed
    // right after a flush may lose it on a busy server.
    xcb_generic_error_t* error = xcb_request_check(c, sent);
    const bool ok = error == nullptr;
    std::free(error);
    xcb_disconnect(c);
    return ok;
}

bool haveX() {
    return QGuiApplication::platformName() == "xcb" && QProcess::execute("xdotool", {"version"}) == 0;
}

// The editor's folder with COM1 mapped to a server that never negotiates.
struct MuteUnitFolder {
    q7mtest::MuteServer server;
    q7mtest::TempDir dir;
    MuteUnitFolder() {
        q7mtest::writeFile(dir.file("ZelkSerial.ini"), "[Ports]\r\nCOM1=" + server.rfc2217() + "\r\n");
        ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    }
};

}  // namespace

// On q7msim: a measurement streams, a silent unit, a slow one.
class GuiX11InputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    q7mtest::NoFileDialogs files;
    std::unique_ptr<EditorApp> app;
    QWidget* win = nullptr;
    QTabWidget* tabs = nullptr;

    void startGain() {
        auto* start = child<QPushButton>(win, "cmdStart");
        QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
        const long from = app->editor().optical.recordsDrawn();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().optical.recordsDrawn() >= from + 3, 15000);
    }
    // A click through the X server on tab 0, `afterSeconds` from now.
    void clickFirstTabLater(const char* afterSeconds) {
        const QPoint tab0 = tabs->tabBar()->mapToGlobal(tabs->tabBar()->tabRect(0).center());
        QVERIFY(QProcess::startDetached("xdotool", {"sleep", afterSeconds, "mousemove", QString::number(tab0.x()),
                                                    QString::number(tab0.y()), "click", "1"}));
    }

private slots:
    void initTestCase() {
        if (!haveX()) QSKIP("needs an X server (run through xvfb-run) and xdotool");
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(lib.load(q7mtest::libraryPath()));
        const Paths p = q7mtest::pathsIn(sim->dir());
        app = std::make_unique<EditorApp>(lib.api(), p, nullptr, &files);  // the real message boxes
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.OnLine && win->isVisible(), 15000);
        QVERIFY(QTest::qWaitForWindowExposed(win));
        tabs = child<QTabWidget>(win, "SSTAB1");
        QVERIFY(xclick(tabs->tabBar(), tabs->tabBar()->tabRect(4).center()));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), 4, 5000);
    }

    void stopIsClickableWhileTheStreamRuns() {
        startGain();
        auto* start = child<QPushButton>(win, "cmdStart");
        QCOMPARE(start->text(), QString("Stop"));
        QVERIFY(xclick(start));
        QTRY_VERIFY_WITH_TIMEOUT(!app->editor().optical.running(), 5000);
        QCOMPARE(start->text(), QString("Start"));
    }

    void projectorAndTabClicksReachTheWindowWhileTheStreamRuns() {
        startGain();
        auto* two = child<QPushButton>(win, "cmdPro(1)");
        QVERIFY(xclick(two));
        QTRY_VERIFY_WITH_TIMEOUT(two->font().bold(), 5000);
        QVERIFY(app->editor().optical.running());
        // Leaving the tab stops the measurement.
        QVERIFY(xclick(tabs->tabBar(), tabs->tabBar()->tabRect(1).center()));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!app->editor().optical.running(), 5000);
        QVERIFY(sim->waitForLog("TEXT A2"));
    }

    // A click made while a slow unit is awaited (the busy cursor shows) is
    // dropped, though the exchange succeeds: nothing acts after the wait.
    void aClickDuringASlowExchangeThatSucceedsIsDropped() {
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(sim->control("ignore M 4"));  // four mute commands lost: about 3 s of retries
        clickFirstTabLater("1");
        auto* mute = child<QPushButton>(win, "cmdMute2");
        QTest::mouseClick(mute, Qt::LeftButton, {}, mute->rect().center());
        QVERIFY(app->editor().vals.OnLine);
        QCOMPARE(mute->text(), QString("Un-Mute"));
        QTest::qWait(1500);  // time enough for a held-back click to arrive
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::mouseClick(mute, Qt::LeftButton, {}, mute->rect().center());  // back to sound on
        QCOMPARE(mute->text(), QString("Mute"));
    }

    // The same on the way to the real error box: its loop takes nothing of
    // what was made during the wait, and the window afterwards neither.
    void aClickDuringTheRetriesOfASilentUnitIsDropped() {
        QVERIFY(sim->control("silent on"));
        clickFirstTabLater("1");
        QString boxText;
        QTimer boxWatch;  // answers the error box through the X server
        connect(&boxWatch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !boxText.isEmpty() || !box->isVisible()) return;
            boxText = box->text();
            QTimer::singleShot(300, [box] { xclick(box->button(QMessageBox::Ok)); });
        });
        boxWatch.start(50);
        auto* mute = child<QPushButton>(win, "cmdMute2");
        QTest::mouseClick(mute, Qt::LeftButton, {}, mute->rect().center());
        QVERIFY2(boxText.contains("Cannot Continue On Line!"), qPrintable(boxText));
        QVERIFY(!app->editor().vals.OnLine);
        QTest::qWait(1500);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(sim->control("silent off"));
    }

    void cleanupTestCase() {
        if (app && app->editor().optical.running()) {
            auto* start = child<QPushButton>(win, "cmdStart");
            QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
        }
        app.reset();
    }
};

// Against a network port whose server accepts and never negotiates: the
// start-up Connect would wait half a minute.
class GuiX11CancelTest : public QObject {
    Q_OBJECT
    LinkLibrary lib;
    q7mtest::NoFileDialogs files;

private slots:
    void initTestCase() {
        if (!haveX()) QSKIP("needs an X server (run through xvfb-run) and xdotool");
        QVERIFY(lib.load(q7mtest::libraryPath()));
    }

    // The test acts from a timer: the start-up runs inside the window's
    // loop and its waits, where a test's own waiting would not come back.
    void cancelAndEscapeEndTheConnectWithinASecond() {
        MuteUnitFolder unit;
        q7mtest::TempDir data;
        Paths p = q7mtest::pathsIn(unit.dir.path());
        p.dataDir = data.path();
        EditorApp app(lib.api(), p, nullptr, &files);
        QWidget* win = &app.mainWindow();
        QWidget* prog = child<QDialog>(win, "frmProg");
        auto* status = child<QLabel>(win, "lblStat");
        QElapsedTimer waiting, sinceAsked;
        enum Step { ClickCancel, AwaitStartUp, PressEscape, AwaitOffLine, Done } step = ClickCancel;
        qint64 afterCancel = -1, afterEscape = -1;
        bool boxSeen = false;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            boxSeen = boxSeen || QApplication::activeModalWidget();
            const bool busy = app.runner().busy();
            if (!busy) waiting.invalidate();
            else if (!waiting.isValid()) waiting.start();
            // Well into a wait (the busy cursor shows), the user acts.
            const bool longWait = busy && waiting.elapsed() > 500;
            switch (step) {
            case ClickCancel:
                if (longWait && prog->isVisible()) {
                    sinceAsked.start();
                    xclick(child<QPushButton>(prog, "cmdCan"));
                    step = AwaitStartUp;
                }
                break;
            case AwaitStartUp:  // the start-up goes on off line, with a new configuration
                if (win->windowTitle().contains("<Untitled>")) {
                    afterCancel = sinceAsked.elapsed();
                    step = PressEscape;
                }
                break;
            case PressEscape:  // Connect again, behind the open still in the library
                if (longWait) {
                    sinceAsked.start();
                    QProcess::execute("xdotool", {"key", "Escape"});
                    step = AwaitOffLine;
                }
                break;
            case AwaitOffLine:
                if (!busy) {
                    afterEscape = sinceAsked.elapsed();
                    step = Done;
                }
                break;
            case Done: break;
            }
        });
        driver.start(20);
        app.start();
        QTRY_VERIFY_WITH_TIMEOUT(step == PressEscape, 20000);
        qInfo("off line %lld ms after Cancel", static_cast<long long>(afterCancel));
        QVERIFY2(afterCancel < 1000, qPrintable(QString("off line %1 ms after Cancel").arg(afterCancel)));
        QCOMPARE(status->text(), QString("Off Line"));
        QVERIFY(!prog->isVisible());
        QVERIFY(xclick(child<QPushButton>(win, "cmdConnect")));
        QTRY_VERIFY_WITH_TIMEOUT(step == Done, 20000);
        qInfo("off line %lld ms after Escape", static_cast<long long>(afterEscape));
        QVERIFY2(afterEscape < 1000, qPrintable(QString("off line %1 ms after Escape").arg(afterEscape)));
        QCOMPARE(status->text(), QString("Off Line"));
        QVERIFY(!boxSeen);  // no error box for a cancel
    }

    // The program itself: the window manager's close request during that
    // wait ends it, although the library is still in its open.
    void aCloseRequestDuringTheConnectEndsTheEditorWithinThreeSeconds() {
        MuteUnitFolder unit;
        q7mtest::TempDir data;
        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("Q7M_CONFIG_DIR", QString::fromStdString(unit.dir.path()));
        env.insert("ZELKVELQ_DATA_DIR", QString::fromStdString(data.path()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        editor.setProcessEnvironment(env);
        editor.start(QStringLiteral(GUI_PROGRAM_DIR "/zelkvelq"), {"--library", QString::fromStdString(q7mtest::libraryPath())});
        QVERIFY(editor.waitForStarted());
        // Its main window, found through the X server by its process and
        // title (the splash, smaller, has the same title).
        QString window;
        QElapsedTimer look;
        look.start();
        while (window.isEmpty() && look.elapsed() < 10000) {
            QProcess search;
            search.start("xdotool", {"search", "--all", "--onlyvisible", "--pid", QString::number(editor.processId()), "--name",
                                     "ZELK Cinema Processor"});
            search.waitForFinished();
            for (const QString& id : QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
                QProcess geometry;
                geometry.start("xdotool", {"getwindowgeometry", id});
                geometry.waitForFinished();
                const QString g = QString::fromLatin1(geometry.readAllStandardOutput()).section("Geometry: ", 1);
                if (g.section('x', 0, 0).toInt() > 600) window = id;
            }
            if (window.isEmpty()) QTest::qWait(100);
        }
        QVERIFY2(!window.isEmpty(), "the editor's window did not appear");
        QTest::qWait(1500);  // the Connect waits for the server
        QCOMPARE(editor.state(), QProcess::Running);
        QElapsedTimer t;
        t.start();
        QVERIFY(askWindowToClose(window.toUInt()));
        QVERIFY(editor.waitForFinished(5000));
        qInfo("the editor ended %lld ms after the close request", static_cast<long long>(t.elapsed()));
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString("ended %1 ms after the close request").arg(t.elapsed())));
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(editor.exitCode(), 0);
        // The settings were written on the way out.
        QVERIFY(QFile::exists(QString::fromStdString(data.file("settings.dat"))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    {
        GuiX11InputTest input;
        failed += QTest::qExec(&input, argc, argv);
    }
    {
        GuiX11CancelTest cancel;
        failed += QTest::qExec(&cancel, argc, argv);
    }
    return failed;
}

#include "test_gui_x11_input.moc"
