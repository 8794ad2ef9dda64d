// The real main window, headless, against q7msim.
#include <QAction>
#include <QDebug>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <deque>
#include <memory>

#include "ui/app.h"
#include "files/config_file.h"
#include "connection/link_api.h"
#include "ui/rtf_reader.h"
#include "sim_process.h"

using namespace zelk;

namespace {

class Boxes : public MessageBoxService {
public:
    MsgResult show(const std::string& text, const std::string& title, MsgIcon, MsgButtons buttons) override {
        shown.push_back(title + ": " + text);
        if (!answers.empty()) {
            auto a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::No;
    }
    std::vector<std::string> shown;
    std::deque<MsgResult> answers;
};

class Dialogs : public FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string&, const std::string&) override { return next(); }
    std::optional<std::string> showSave(const std::string&, const std::string& name) override {
        proposed = name;
        return next();
    }
    std::optional<std::string> next() {
        if (paths.empty()) return std::nullopt;
        auto p = paths.front();
        paths.pop_front();
        return p;
    }
    std::deque<std::string> paths;
    std::string proposed;
};

template <typename T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no widget %s", name);
    return c;
}

QAction* action(QWidget* w, const char* name) { return child<QAction>(w, name); }

}  // namespace

class GuiTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    Boxes boxes;
    Dialogs dialogs;
    std::unique_ptr<EditorApp> app;
    QWidget* win = nullptr;
    QString shots;

    void shoot(const QString& name) {
        QDir().mkpath(shots);
        QVERIFY(win->grab().save(shots + "/" + name + ".png"));
    }

private slots:
    void initTestCase() {
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(lib.load(q7mtest::libraryPath()));
        Paths p;
        p.programDir = GUI_PROGRAM_DIR;
        p.dataDir = sim->dir() + "/data";
        p.configDir = sim->dir();
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &dialogs);
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(win->isVisible() && win->windowTitle().contains("<CP Settings>"), 15000);
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = dir ? dir : GUI_ARTEFACT_DIR;
    }

    void connectedWindowShowsTheUnit() {
        // The caption, with the place where unsaved changes are marked.
        QCOMPARE(win->windowTitle(), QString("ZELK Cinema Processor and EQ Software   <CP Settings>[*]"));
        QVERIFY(!win->isWindowModified());
        QCOMPARE(child<QLabel>(win, "lblStat")->text(), QString("On Line"));
        QCOMPARE(child<QLabel>(win, "lnlInfo(0)")->text(), QString("CPU Version: 1.06"));
        QCOMPARE(child<QLabel>(win, "lnlInfo(1)")->text(), QString("DSP Controller: 1.03"));
        QCOMPARE(child<QLabel>(win, "lnlInfo(2)")->text(), QString("DSP Firmware: 1.09"));
        QVERIFY(child<QLabel>(win, "lblStat")->styleSheet().contains("rgb(0,255,0)"));
        QVERIFY(child<QPushButton>(win, "cmdMode(3)")->font().bold());
        QCOMPARE(child<QLineEdit>(win, "lblVol(0)")->text(), QString("7.0"));
        QVERIFY(boxes.shown.empty());
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        QCOMPARE(tabs->count(), 8);
        const char* captions[8] = {"Format &Selection", "&Output Trim", "&E.Q", "O&BE", "O&ptical Setup",
                                   "Op&tions", "Theater &Information", "&Help"};
        for (int i = 0; i < 8; ++i) QCOMPARE(tabs->tabText(i), QString(captions[i]));
        QVERIFY(child<QTextBrowser>(win, "RTFc")->toPlainText().contains("Connecting"));
    }

    void optionChangeUploadsTheSystemBlock() {
        action(win, "mnuAuto")->trigger();
        QVERIFY(action(win, "mnuAuto")->isChecked());
        QVERIFY(!action(win, "mnuConfirm")->isEnabled());
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        tabs->setCurrentIndex(5);
        auto* combo = child<QComboBox>(win, "cboSurroundDelay");
        QVERIFY(combo->isEnabled());
        sim->clearLog();
        combo->setCurrentIndex(4);
        emit combo->activated(4);
        QVERIFY(sim->waitForLog("STORED system block"));
        QVERIFY(sim->logMatching("STORED audio block").empty());

        // A trim slider stepped with the keyboard sends the audio block once.
        tabs->setCurrentIndex(1);
        auto* trim = child<QSlider>(win, "sclPNG(0)");
        trim->setFocus();
        QApplication::processEvents();
        sim->clearLog();
        QTest::keyClick(trim, Qt::Key_Down);
        QVERIFY(sim->waitForLog("STORED audio block"));
        QCOMPARE(child<QLineEdit>(win, "lblPNG(0)")->text(), QString("-0.5"));
        QCOMPARE(app->editor().vals.audioBlock.trimLevel(0), std::uint8_t(13));
        // A typed value is checked and snapped.
        auto* field = child<QLineEdit>(win, "lblPNG(2)");
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "1.3");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), QString("1.0"));
        QCOMPARE(app->editor().main.trim.sclPNG[2].value(), 10);
        field->selectAll();
        QTest::keyClicks(field, "7");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(boxes.shown.back(), std::string("Range Check Error: Error, Please enter a number between -6 and 6!"));
    }

    void saveAndOpenThroughTheDialogs() {
        const std::string path = sim->dir() + "/roxy.zcf";
        dialogs.paths.push_back(path);
        action(win, "mnuSaveAs")->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(path)));
        QCOMPARE(win->windowTitle(), QString::fromStdString("ZELK Cinema Processor and EQ Software   <" + path + ">[*]"));
        QVERIFY(!win->isWindowModified());
        ConfigData d;
        QCOMPARE(int(ReadConfigFile(path, d)), int(ReadResult::Ok));
        QCOMPARE(int(d.systemBlock.surroundDelay()), 4);

        // Change the file and open it: the screen follows.
        d.systemBlock.surroundDelay() = 9;
        d.TheaterInfo[1] = "Roxy";
        QVERIFY(WriteConfigFile(path, d));
        dialogs.paths.push_back(path);
        action(win, "mnuLoad")->trigger();
        QCOMPARE(child<QComboBox>(win, "cboSurroundDelay")->currentText(), QString("90 mS"));
        child<QTabWidget>(win, "SSTAB1")->setCurrentIndex(6);
        QCOMPARE(child<QLineEdit>(win, "txtTheaterInfo(1)")->text(), QString("Roxy"));
    }

    void screenshotsOfEveryTab() {
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        win->resize(940, 660);
        // The window must fit a 1024 x 768 screen.
        QVERIFY(win->minimumSizeHint().width() <= 1000);
        QVERIFY(win->minimumSizeHint().height() <= 700);
        const char* names[8] = {"0-format", "1-trim", "2-eq", "3-obe", "4-optical", "5-options", "6-theater", "7-help"};
        for (int i = 0; i < 8; ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            shoot(names[i]);
        }
        // The equaliser's other panes.
        tabs->setCurrentIndex(2);
        child<QPushButton>(win, "cmdEQChan(1)")->click();
        shoot("2-eq-surround");
        child<QPushButton>(win, "cmdEQChan(5)")->click();
        QVERIFY(!child<QWidget>(win, "frmBandA")->isVisible());
        QVERIFY(child<QWidget>(win, "frmBass")->isVisible());
        shoot("2-eq-sub");
    }

    void closingQuietensTheUnit() {
        sim->clearLog();
        boxes.answers = {MsgResult::No, MsgResult::No};  // don't save, don't revert
        QVERIFY(win->close());
        QVERIFY(app->editor().lifecycle.ended());
        const auto log = sim->log();
        std::vector<std::string> texts;
        for (auto& l : log)
            if (l.rfind("TEXT ", 0) == 0) texts.push_back(l);
        const std::vector<std::string> expected = {"TEXT PL-", "TEXT HL-", "TEXT PP-", "TEXT HP-", "TEXT PC-",
                                                   "TEXT HC-", "TEXT PQ-", "TEXT HQ-", "TEXT PR-", "TEXT HR-",
                                                   "TEXT PS-", "TEXT HS-", "TEXT A-",  "TEXT B1"};
        QVERIFY2(texts == expected, (texts.empty() ? std::string("(none)") : texts.front()).c_str());
        QVERIFY(QFile::exists(QString::fromStdString(sim->dir() + "/data/settings.dat")));
        QVERIFY(!QFile::exists(QString::fromStdString(sim->dir() + "/data/temp.q7m")));
    }
};

class RtfTest : public QObject {
    Q_OBJECT
private slots:
    void readsParagraphsStylesAndEscapes() {
        QTextDocument doc;
        readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Bold\\b0  plain}\\par caf\\'e9 \\{x\\}\\par\\u8364?}", &doc);
        QCOMPARE(doc.toPlainText(), QString::fromUtf8("Bold plain\ncafé {x}\n€"));
        QTextCursor c(&doc);
        c.setPosition(1);
        QVERIFY(c.charFormat().fontWeight() == QFont::Bold);
        readRtf("not rich text", &doc);
        QCOMPARE(doc.toPlainText(), QString("not rich text"));
    }
};

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    int status = 0;
    {
        RtfTest rtf;
        status |= QTest::qExec(&rtf, argc, argv);
    }
    {
        GuiTest gui;
        status |= QTest::qExec(&gui, argc, argv);
    }
    return status;
}

#include "test_gui.moc"
