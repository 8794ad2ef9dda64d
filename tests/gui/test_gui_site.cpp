// File > Site Overview in the real window, headless, against four ports:
// COM1 the editor's own unit, COM2 a unit whose trim changed after its
// baseline, COM3 a unit without a baseline, COM4 a missing device.  Driven
// with the mouse and the keyboard: open it, choose the baseline folder, see
// the drifted row, connect to it, approve baselines.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <sys/wait.h>

#include "connection/link_api.h"
#include "files/config_file.h"
#include "ui/app.h"
#include "sim_process.h"

using namespace zelk;

namespace {

class Boxes : public MessageBoxService {
public:
    MsgResult show(const std::string& text, const std::string& title, MsgIcon, MsgButtons buttons) override {
        shown.push_back(title + ": " + text);
        if (buttons == MsgButtons::OK) return MsgResult::OK;
        if (answers.empty()) return MsgResult::Yes;
        const MsgResult a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> shown;
    std::deque<MsgResult> answers;
};

class Dialogs : public FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::string> showSave(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::string> showFolder(const std::string&, const std::string&) override { return folder; }
    std::optional<std::string> folder;
};

template <typename T>
T* child(QObject* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no widget %s", name);
    return c;
}

QString plain(QString s) { return s.remove('&'); }

bool clickMenu(QMainWindow* win, const QStringList& path) {
    QMenuBar* bar = win->menuBar();
    QWidget* in = bar;
    QList<QAction*> actions = bar->actions();
    for (int i = 0; i < path.size(); ++i) {
        QAction* hit = nullptr;
        for (QAction* a : actions)
            if (plain(a->text()) == path[i]) hit = a;
        if (!hit) return false;
        const QPoint at = in == bar ? bar->actionGeometry(hit).center()
                                    : static_cast<QMenu*>(in)->actionGeometry(hit).center();
        QTest::mouseClick(in, Qt::LeftButton, {}, at);
        if (QMenu* sub = hit->menu()) {
            if (!QTest::qWaitFor([sub] { return sub->isVisible(); }, 3000)) return false;
            in = sub;
            actions = sub->actions();
        }
    }
    return true;
}

int q7mctl(const std::string& args) {
    const int st = std::system((std::string(Q7MCTL_PATH) + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

}  // namespace

class SiteGuiTest : public QObject {
    Q_OBJECT

private:
    q7mtest::TempDir config;
    std::vector<std::unique_ptr<q7mtest::SimProcess>> sims;  // COM1, COM2, COM3
    LinkLibrary lib;
    Boxes boxes;
    Dialogs dialogs;
    std::unique_ptr<EditorApp> app;
    QMainWindow* win = nullptr;
    std::string folder;
    QString shots;

    QWidget* site() { return child<QWidget>(win, "frmSite"); }
    QTableWidget* grid() { return child<QTableWidget>(site(), "grdUnits"); }
    int column(const QString& title) {
        for (int c = 0; c < grid()->columnCount(); ++c)
            if (grid()->horizontalHeaderItem(c)->text() == title) return c;
        return -1;
    }
    // The text of COMn's row in the column titled `title`.
    QString cell(int port, const QString& title) {
        const int c = column(title);
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, column("Port"))->text() == QString("COM%1").arg(port))
                return c < 0 ? QString() : grid()->item(r, c)->text();
        return QStringLiteral("(no row)");
    }
    QPoint rowPoint(int port) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, column("Port"))->text() == QString("COM%1").arg(port))
                return grid()->visualItemRect(grid()->item(r, column("Port"))).center();
        return {};
    }
    bool settled() {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, column("State"))->text() == "reading...") return false;
        return grid()->rowCount() > 0;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

private slots:
    void initTestCase() {
        std::string ini = "[Ports]\r\n";
        for (int port = 1; port <= 3; ++port) {
            sims.push_back(std::make_unique<q7mtest::SimProcess>(std::vector<std::string>{"--build", "77"}));
            ini += "COM" + std::to_string(port) + "=" + sims.back()->link() + "\r\n";
        }
        ini += "COM4=" + config.file("absent") + "\r\n";
        q7mtest::writeFile(config.file("ZelkSerial.ini"), ini);
        ::setenv("Q7M_CONFIG_DIR", config.path().c_str(), 1);

        // The approved configurations; then COM2's Left trim is changed
        // and COM3's baseline is not there.
        folder = config.file("baselines");
        QCOMPARE(q7mctl("-p 1-3 backup " + folder), 0);
        ConfigData changed;
        QVERIFY(ReadConfigFile(folder + "/COM2.zcf", changed) == ReadResult::Ok);
        changed.audioBlock.trimLevel(0) = 14;
        QVERIFY(WriteConfigFile(config.file("changed.zcf"), changed));
        QCOMPARE(q7mctl("-p 2 restore " + config.file("changed.zcf")), 0);
        std::filesystem::remove(folder + "/COM3.zcf");
        dialogs.folder = folder;

        QVERIFY(lib.load(q7mtest::libraryPath()));
        Paths p;
        p.programDir = GUI_PROGRAM_DIR;
        p.dataDir = config.file("data");
        p.configDir = config.path();
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &dialogs);
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(win->isVisible() && win->windowTitle().contains("<CP Settings>"), 15000);
        QVERIFY(app->editor().vals.OnLine);
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = dir ? dir : GUI_ARTEFACT_DIR;
    }

    void theWindowShowsEveryUnitAndTheDriftedOne() {
        QVERIFY(clickMenu(win, {"File", "Site Overview..."}));
        QTRY_VERIFY(site()->isVisible());
        // The folder is chosen in the window, and remembered.
        click(child<QPushButton>(site(), "cmdFolder"));
        QVERIFY(child<QLabel>(site(), "lblFolder")->text().endsWith(QString::fromStdString(folder)));
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 20000);
        QCOMPARE(cell(1, "State"), QString("this editor"));
        QCOMPARE(cell(1, "Baseline"), QString("matches"));
        QCOMPARE(cell(1, "Versions"), QString("CPU 1.06.0077, DSP 1.03/1.09"));
        QCOMPARE(cell(2, "State"), QString("on line"));
        QCOMPARE(cell(2, "Baseline"), QString("1 differs"));
        QCOMPARE(cell(2, "Fader"), QString("7.0"));
        QVERIFY(!cell(2, "Last Upload").isEmpty());
        QCOMPARE(cell(3, "Baseline"), QString("none"));
        QCOMPARE(cell(4, "State"), QString("no answer"));
        QCOMPARE(cell(4, "Target"), QString::fromStdString(config.file("absent")));
        // The editor's own unit was read through its link: COM1 was never
        // opened a second time (q7mctl would have found it busy).
        QVERIFY(q7mtest::readFile(config.file("data/site.ini")).find("BaselineFolder=" + folder) != std::string::npos);
        QDir().mkpath(shots);
        QVERIFY(site()->grab().save(shots + "/site-overview.png"));
    }

    void aDoubleClickConnectsTheEditorToTheDriftedUnit() {
        // An unsaved edit first: the question comes before the connection.
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        tabs->setCurrentIndex(1);
        auto* trim = child<QSlider>(win, "sclPNG(0)");
        click(trim);
        QTest::keyClick(trim, Qt::Key_Down);
        QTRY_VERIFY(app->editor().document.dirty());
        boxes.answers = {MsgResult::No};
        boxes.shown.clear();
        // A double click: press and release, then the second press that
        // the window system turns into the double click.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rowPoint(2));
        QVERIFY(app->editor().vals.ComPort == 1);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, rowPoint(2));
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.ComPort == 2 && app->editor().vals.OnLine, 15000);
        QVERIFY(!boxes.shown.empty());
        QCOMPARE(QString::fromStdString(boxes.shown.front()),
                 QString("Save?: Do you want to save your changes before connecting to COM2?"));
        QTRY_VERIFY_WITH_TIMEOUT(settled() && cell(2, "State") == "this editor", 20000);
        QCOMPARE(cell(2, "Baseline"), QString("1 differs"));
        QCOMPARE(cell(1, "State"), QString("on line"));  // now read by q7mctl
        QCOMPARE(app->editor().vals.audioBlock.trimLevel(0), 14);
    }

    void approvingReplacesABaselineAfterAskingAndKeepsANewOne() {
        // COM2, the editor's unit now: its file is there, so it asks.
        boxes.answers = {MsgResult::Yes};
        boxes.shown.clear();
        click(child<QPushButton>(site(), "cmdApprove"));
        QTRY_VERIFY_WITH_TIMEOUT(settled() && cell(2, "Baseline") == "matches", 20000);
        QVERIFY(!boxes.shown.empty());
        QVERIFY(QString::fromStdString(boxes.shown.front()).startsWith("Approve as Baseline: " +
                                                                        QString::fromStdString(folder) +
                                                                        "/COM2.zcf already holds"));
        ConfigData approved;
        QVERIFY(ReadConfigFile(folder + "/COM2.zcf", approved) == ReadResult::Ok);
        QCOMPARE(int(approved.audioBlock.trimLevel(0)), 14);

        // COM3 has none: read by q7mctl, kept without a question.
        boxes.shown.clear();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rowPoint(3));
        click(child<QPushButton>(site(), "cmdApprove"));
        QTRY_VERIFY_WITH_TIMEOUT(settled() && cell(3, "Baseline") == "matches", 20000);
        QVERIFY(boxes.shown.empty());
        QVERIFY(std::filesystem::exists(folder + "/COM3.zcf"));
        QVERIFY(child<QLabel>(site(), "lblStatus")->text().startsWith("COM3 approved."));
    }

    void enterConnectsBackAndEscapeCloses() {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rowPoint(1));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(app->editor().vals.ComPort == 1 && app->editor().vals.OnLine, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(settled() && cell(1, "State") == "this editor", 20000);
        QTest::keyClick(site(), Qt::Key_Escape);
        QTRY_VERIFY(!site()->isVisible());
    }

    void cleanupTestCase() {
        app.reset();
        ::unsetenv("Q7M_CONFIG_DIR");
    }
};

QTEST_MAIN(SiteGuiTest)
#include "test_gui_site.moc"
