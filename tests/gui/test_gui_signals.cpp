// SIGTERM, SIGHUP and SIGINT: the editor quietens the unit, keeps unsaved
// changes for the next start and ends by itself, with a silent unit too.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#include "connection/link_api.h"
#include "mute_server.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"
#include "ui/shutdown_signals.h"

using namespace zelk;

namespace {

// Records the boxes and answers Yes to the recovery offer.
class Boxes : public MessageBoxService {
public:
    MsgResult show(const std::string&, const std::string& title, MsgIcon, MsgButtons b) override {
        titles.push_back(title);
        if (title == "Recover Changes?") return MsgResult::Yes;
        return b == MsgButtons::OK ? MsgResult::OK : MsgResult::No;
    }
    std::vector<std::string> titles;
};

std::vector<std::string> unitCommands(const q7mtest::SimProcess& sim) {
    std::vector<std::string> out;
    for (auto& l : sim.log())
        if (l.rfind("TEXT ", 0) == 0) out.push_back(l.substr(5));
    return out;
}

}  // namespace

class GuiSignalsTest : public QObject {
    Q_OBJECT
    LinkLibrary lib;
    q7mtest::NoFileDialogs files;

    template <typename T>
    static T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c) qFatal("no widget %s", name);
        return c;
    }

private slots:
    void initTestCase() { QVERIFY(lib.load(q7mtest::libraryPath())); }

    void sigtermQuietensTheUnitAndTheNextStartOffersTheUnsavedChanges() {
        q7mtest::SimProcess sim;
        const Paths p = q7mtest::pathsIn(sim.dir());
        Boxes boxes;
        int edited = -1;
        {
            EditorApp app(lib.api(), p, &boxes, &files);
            ShutdownSignals endSignals([&app](int sig) { app.endBySignal(sig); });
            QVERIFY(endSignals.installed());
            app.start();
            QWidget* win = &app.mainWindow();
            QTRY_VERIFY_WITH_TIMEOUT(app.editor().vals.OnLine && win->isVisible(), 15000);
            // Pink noise on the left channel, the link at 19200 and a trim
            // changed in the editor only.
            QTabBar* tabs = child<QTabWidget>(win, "SSTAB1")->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
            auto* pink = child<QPushButton>(win, "cmdPN(0)");
            QTest::mouseClick(pink, Qt::LeftButton, {}, pink->rect().center());
            QVERIFY(sim.waitForLog("TEXT PL+"));
            child<QAction>(win, "mnuBaud2")->trigger();
            QVERIFY(sim.waitForLog("TEXT B2"));
            auto* trim = child<QSlider>(win, "sclPNG(0)");
            QTest::keyClick(trim, Qt::Key_Up);
            edited = app.editor().vals.audioBlock.trimLevel(0);
            QVERIFY(app.editor().document.dirty());
            sim.clearLog();

            QElapsedTimer t;
            t.start();
            ::kill(::getpid(), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(app.editor().lifecycle.ended(), 10000);
            qInfo("ended %lld ms after SIGTERM", static_cast<long long>(t.elapsed()));
            QCOMPARE(app.exitStatus(), 128 + SIGTERM);
            QVERIFY(!win->isVisible());
        }
        const std::vector<std::string> quietened = {"PL-", "HL-", "PP-", "HP-", "PC-", "HC-", "PQ-", "HQ-",
                                                    "PR-", "HR-", "PS-", "HS-", "A-",  "B1"};
        QCOMPARE(unitCommands(sim), quietened);
        QVERIFY(boxes.titles.empty());  // nothing was asked
        QVERIFY(QFile::exists(QString::fromStdString(p.recoveryFile())));

        // The editor asked the application to quit; one turn of its loop
        // clears that for the next start.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();

        EditorApp again(lib.api(), p, &boxes, &files);
        again.start();
        QTRY_VERIFY_WITH_TIMEOUT(again.editor().vals.OnLine && again.mainWindow().isVisible(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.titles.empty(), 5000);
        QCOMPARE(boxes.titles, (std::vector<std::string>{"Recover Changes?"}));
        QCOMPARE(static_cast<int>(again.editor().vals.audioBlock.trimLevel(0)), edited);
        QVERIFY(again.editor().document.dirty());
        QVERIFY(again.mainWindow().windowTitle().contains("<Recovered>"));
        QVERIFY(!QFile::exists(QString::fromStdString(p.recoveryFile())));
    }

    // The program itself, told to stop: on line, with a silent unit, and
    // in the middle of a Connect to a server that never negotiates.
    void theProgramEndsByItselfWithinTenSeconds() {
        struct Case {
            const char* name;
            int signal;
            bool silent, mute;
        };
        for (const Case c : {Case{"on line", SIGTERM, false, false}, Case{"silent unit", SIGHUP, true, false},
                             Case{"connecting", SIGINT, false, true}}) {
            q7mtest::SimProcess sim;
            q7mtest::MuteServer server;
            q7mtest::TempDir data;
            if (c.mute) q7mtest::writeFile(sim.dir() + "/ZelkSerial.ini", "[Ports]\r\nCOM1=" + server.rfc2217() + "\r\n");
            QProcess editor;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("Q7M_CONFIG_DIR", QString::fromStdString(sim.dir()));
            env.insert("ZELKVELQ_DATA_DIR", QString::fromStdString(data.path()));
            env.insert("QT_QPA_PLATFORM", "offscreen");
            editor.setProcessEnvironment(env);
            editor.start(QStringLiteral(GUI_PROGRAM_DIR "/zelkvelq"),
                         {"--library", QString::fromStdString(q7mtest::libraryPath())});
            QVERIFY(editor.waitForStarted());
            if (c.mute) {
                QTest::qWait(1500);  // in the Connect's wait
            } else {
                // On line once the start-up snapshot is written.
                QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(data.file("temp.q7m"))), 15000);
            }
            if (c.silent) QVERIFY(sim.control("silent on"));
            sim.clearLog();
            QElapsedTimer t;
            t.start();
            ::kill(static_cast<pid_t>(editor.processId()), c.signal);
            QVERIFY2(editor.waitForFinished(15000), c.name);
            qInfo("%s: ended %lld ms after the signal", c.name, static_cast<long long>(t.elapsed()));
            QVERIFY2(t.elapsed() < 10000, c.name);
            QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
            QCOMPARE(editor.exitCode(), 128 + c.signal);
            QVERIFY(QFile::exists(QString::fromStdString(data.file("settings.dat"))));
            QVERIFY(!QFile::exists(QString::fromStdString(data.file("temp.q7m"))));
            if (!c.silent && !c.mute) {
                const auto commands = unitCommands(sim);
                QVERIFY(!commands.empty());
                QCOMPARE(commands.front(), std::string("PL-"));
                QCOMPARE(commands.back(), std::string("B1"));
            }
        }
    }
};

QTEST_MAIN(GuiSignalsTest)
#include "test_gui_signals.moc"
