// The real main window, headless, against q7msim.  Everything the user does
// here is a real mouse click or key press on the widget a user would use:
// a dialog that takes no input or a key that never reaches the logic fails
// these tests.  Only message boxes and file dialogs are substitutes.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "connection/link_api.h"
#include "files/config_file.h"
#include "sim_process.h"
#include "ui/app.h"
#include "ui/rtf_reader.h"

using namespace zelk;

namespace {

class Boxes : public MessageBoxService {
public:
    MsgResult show(const std::string& text, const std::string& title, MsgIcon, MsgButtons buttons) override {
        shown.push_back(title + ": " + text);
        if (onShow) onShow();
        if (!answers.empty()) {
            auto a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::No;
    }
    std::string last() const { return shown.empty() ? std::string() : shown.back(); }
    std::vector<std::string> shown;
    std::deque<MsgResult> answers;
    std::function<void()> onShow;  // looks at the screen behind the box
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
T* child(QObject* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no widget %s", name);
    return c;
}

// Where a slider's handle is drawn.
QStyleOptionSlider sliderOption(QSlider* s) {
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.subControls = QStyle::SC_None;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.upsideDown = s->orientation() == Qt::Horizontal ? s->invertedAppearance() : !s->invertedAppearance();
    opt.direction = Qt::LeftToRight;
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    if (s->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
    return opt;
}

QRect handleRect(QSlider* s) {
    const QStyleOptionSlider opt = sliderOption(s);
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
}

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

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

    MainWindow& mw() { return app->mainWindow(); }
    Editor& ed() { return app->editor(); }
    QWidget* page() { return mw().tabs(); }  // the tabs, without the dialogs' namesakes

    void shoot(QWidget* w, const QString& name) {
        QDir().mkpath(shots);
        QVERIFY(w->grab().save(shots + "/" + name + ".png"));
    }

    // Clicks a tab of the strip.
    bool clickTab(int i) {
        QTabBar* bar = mw().tabs()->tabBar();
        activate(&mw());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        return mw().tabs()->currentIndex() == i;
    }

    // Opens a menu of the menu bar with the mouse, then its submenus, and
    // clicks the item: {"mnuOptions", "mnuUploadOptions", "mnuAuto"}.
    bool choose(std::initializer_list<const char*> path) {
        const std::vector<const char*> p(path);
        activate(&mw());
        QMenuBar* bar = mw().menuBar();
        QMenu* menu = child<QMenu>(&mw(), p[0]);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000)) return false;
        for (std::size_t i = 1; i + 1 < p.size(); ++i) {
            QMenu* sub = child<QMenu>(&mw(), p[i]);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sub->menuAction()).center());
            if (!QTest::qWaitFor([sub] { return sub->isVisible(); }, 3000)) return false;
            menu = sub;
        }
        QAction* item = child<QAction>(&mw(), p.back());
        if (!item->isEnabled()) return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return QTest::qWaitFor([menu] { return !menu->isVisible(); }, 3000);
    }

    // A click on a window activates it, as the window manager does (the
    // offscreen platform leaves no window active once a popup or a dialog
    // that was active closes).
    void activate(QWidget* top) {
        if (QApplication::activeWindow() == top) return;
        top->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), top);
    }
    void click(QWidget* w) {
        activate(w->window());
        QTest::mouseClick(w, Qt::LeftButton);
    }

    // Clicks into a field, selects what it holds and types over it.
    void typeInto(QWidget* field, const QString& text) {
        click(field);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }

    // Gives a slider the focus the way a user does: a click on its handle.
    void grabHandle(QSlider* s) {
        activate(s->window());
        QTest::mouseClick(s, Qt::LeftButton, {}, handleRect(s).center());
    }

    bool autoUploadOn() { return ed().upload.autoUpload(); }
    void setAutoUpload(bool on) {
        if (autoUploadOn() != on) QVERIFY(choose({"mnuOptions", "mnuUploadOptions", "mnuAuto"}));
        QCOMPARE(autoUploadOn(), on);
    }

    QString volumeSent(const QString& text) { return "TEXT V" + text; }

private slots:
    void initTestCase() {
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = dir ? dir : GUI_ARTEFACT_DIR;
    }

    // Every case starts with its own unit and its own editor, started and
    // connected as a user starts it, so each case runs alone and in any order.
    void init() {
        boxes.shown.clear();
        boxes.answers.clear();
        boxes.onShow = nullptr;
        dialogs.paths.clear();
        dialogs.proposed.clear();
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
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
    }
    void cleanup() {
        win = nullptr;
        app.reset();
        lib.unload();
        sim.reset();
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
        auto* tabs = mw().tabs();
        QCOMPARE(tabs->count(), 8);
        const char* captions[8] = {"Format &Selection", "&Output Trim", "&E.Q", "O&BE", "O&ptical Setup",
                                   "Op&tions", "Theater &Information", "&Help"};
        for (int i = 0; i < 8; ++i) QCOMPARE(tabs->tabText(i), QString(captions[i]));
        QVERIFY(child<QTextBrowser>(win, "RTFc")->toPlainText().contains("Connecting"));
        QVERIFY(child<QPushButton>(win, "cmdDisconnect")->isEnabled());
    }

    // Alt+O is the Output Trim tab's; the Options menu has its own key.
    void menusAndTabsHaveTheirOwnAltKeys() {
        QCOMPARE(mw().menuBar()->actions()[1]->text(), QString("Optio&ns"));
        activate(&mw());
        QTest::keyClick(win, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(mw().tabs()->currentIndex(), 1);
        QVERIFY(!QApplication::activePopupWidget());
        QTest::keyClick(win, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(mw().tabs()->currentIndex(), 0);
        for (auto [key, menu] : {std::pair{Qt::Key_N, "mnuOptions"}, std::pair{Qt::Key_F, "mnuFile"}}) {
            QTest::keyClick(win, key, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(child<QMenu>(win, menu)));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTRY_VERIFY(!child<QMenu>(win, menu)->isVisible());
            if (QApplication::activePopupWidget() == nullptr && mw().menuBar()->activeAction())
                QTest::keyClick(mw().menuBar(), Qt::Key_Escape);
        }
        QCOMPARE(mw().tabs()->currentIndex(), 0);
    }

    void optionChangeUploadsTheSystemBlock() {
        setAutoUpload(true);
        QVERIFY(!child<QAction>(win, "mnuConfirm")->isEnabled());
        QVERIFY(clickTab(5));
        auto* combo = child<QComboBox>(win, "cboSurroundDelay");
        QVERIFY(combo->isEnabled());
        sim->clearLog();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < 4; ++i) QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), 4);
        QVERIFY(sim->waitForLog("STORED system block"));
        QCOMPARE(int(ed().vals.systemBlock.surroundDelay()), 4);
        QVERIFY(sim->logMatching("STORED audio block").empty());
        // The upload is read back and the status says the unit holds it.
        const QString msg = mw().statusBar()->currentMessage();
        QVERIFY2(msg.startsWith("Verified: the unit holds the settings sent (system block read back at"),
                 qPrintable(msg));
    }

    void saveAndOpenThroughTheDialogs() {
        const std::string path = sim->dir() + "/roxy.zcf";
        dialogs.paths.push_back(path);
        QVERIFY(choose({"mnuFile", "mnuSaveAs"}));
        QVERIFY(QFile::exists(QString::fromStdString(path)));
        QCOMPARE(win->windowTitle(), QString::fromStdString("ZELK Cinema Processor and EQ Software   <" + path + ">[*]"));
        QVERIFY(!win->isWindowModified());
        ConfigData d;
        QCOMPARE(int(ReadConfigFile(path, d)), int(ReadResult::Ok));
        QCOMPARE(int(d.systemBlock.surroundDelay()), 2);  // the unit's 20 mS

        // Change the file and open it: the screen follows.
        d.systemBlock.surroundDelay() = 9;
        d.TheaterInfo[1] = "Roxy";
        QVERIFY(WriteConfigFile(path, d));
        dialogs.paths.push_back(path);
        QVERIFY(choose({"mnuFile", "mnuLoad"}));
        QCOMPARE(child<QComboBox>(win, "cboSurroundDelay")->currentText(), QString("90 mS"));
        QVERIFY(clickTab(6));
        QCOMPARE(child<QLineEdit>(page(), "txtTheaterInfo(1)")->text(), QString("Roxy"));
    }

    // The theater dialog opens from its menu entry and from "Edit", takes
    // typed text while the main window waits behind it, and its buttons,
    // Enter and Escape work.
    void theaterDialogTakesTypedText() {
        auto* d = child<QDialog>(win, "frmTheater");
        auto* tabName = child<QLineEdit>(page(), "txtTheaterInfo(1)");
        auto* name = child<QLineEdit>(d, "txtTheaterInfo(1)");
        QVERIFY(choose({"mnuOptions", "mnuSet"}));
        QTRY_VERIFY(d->isVisible());
        QVERIFY(d->isEnabled());
        QVERIFY(name->isEnabled());
        QVERIFY(!mw().centralWidget()->isEnabled());  // only the dialog takes input
        QVERIFY(!mw().menuBar()->isEnabled());
        typeInto(name, "Rialto Cinema");
        auto* notes = child<QPlainTextEdit>(d, "txtTheaterInfo(10)");
        click(notes);
        QTest::keyClicks(notes, "Screen 2, projector A");
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, "Serviced \"monthly\"");
        typeInto(child<QLineEdit>(d, "txtTheaterInfo(7)"), "Q7M-00412");
        shoot(d, "dialog-theater");
        click(child<QPushButton>(d, "cmdOK"));
        QTRY_VERIFY(!d->isVisible());
        QVERIFY(mw().centralWidget()->isEnabled());
        QVERIFY(mw().menuBar()->isEnabled());
        QCOMPARE(tabName->text(), QString("Rialto Cinema"));
        QCOMPARE(QString::fromStdString(ed().vals.TheaterInfo[10]), QString("Screen 2, projector A\nServiced 'monthly'"));
        QCOMPARE(ed().vals.TheaterInfo[7], std::string("Q7M-00412"));
        QVERIFY(win->isWindowModified());  // the title marks the unsaved change

        // "Edit" on the tab; Escape is Cancel.
        QVERIFY(clickTab(6));
        click(child<QPushButton>(page(), "cmdEdit"));
        QTRY_VERIFY(d->isVisible());
        typeInto(name, "Lost");
        QTest::keyClick(name, Qt::Key_Escape);
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(tabName->text(), QString("Rialto Cinema"));
        QVERIFY(mw().centralWidget()->isEnabled());

        // The Cancel button keeps nothing; Enter in a field is OK.
        click(child<QPushButton>(page(), "cmdEdit"));
        QTRY_VERIFY(d->isVisible());
        typeInto(name, "Lost too");
        click(child<QPushButton>(d, "cmdCan"));
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(tabName->text(), QString("Rialto Cinema"));
        QVERIFY(choose({"mnuOptions", "mnuSet"}));
        QTRY_VERIFY(d->isVisible());
        typeInto(name, "Rialto");
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(tabName->text(), QString("Rialto"));
    }

    // Automatic update can be switched on from its dialog.
    void automaticUpdateDialogTakesInput() {
        auto* d = child<QDialog>(win, "frmRef");
        auto* chk = child<QCheckBox>(d, "chkRef");
        auto* secs = child<QLineEdit>(d, "txtRef");
        QVERIFY(choose({"mnuOptions", "mnuAutoRef"}));
        QTRY_VERIFY(d->isVisible());
        QVERIFY(d->isEnabled());
        QVERIFY(!mw().centralWidget()->isEnabled());
        QVERIFY(!chk->isChecked());
        QVERIFY(!secs->isEnabled());
        click(chk);
        QVERIFY(chk->isChecked());
        QVERIFY(secs->isEnabled());
        typeInto(secs, "45");
        shoot(d, "dialog-automatic-update");
        click(child<QPushButton>(d, "Command1"));
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(int(ed().vals.AutoRefreshEnabled), 1);
        QCOMPARE(int(ed().vals.RefreshSeconds), 45);
        QVERIFY(child<QAction>(win, "mnuAutoRef")->isChecked());
        QVERIFY(mw().centralWidget()->isEnabled());

        // Escape closes it and keeps nothing typed.
        QVERIFY(choose({"mnuOptions", "mnuAutoRef"}));
        QTRY_VERIFY(d->isVisible());
        typeInto(secs, "99");
        QTest::keyClick(secs, Qt::Key_Escape);
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(int(ed().vals.RefreshSeconds), 45);
        QVERIFY(mw().centralWidget()->isEnabled());

        // Off again; Enter is OK.
        QVERIFY(choose({"mnuOptions", "mnuAutoRef"}));
        QTRY_VERIFY(d->isVisible());
        click(chk);
        QTest::keyClick(chk, Qt::Key_Return);
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(int(ed().vals.AutoRefreshEnabled), 0);
        QVERIFY(!child<QAction>(win, "mnuAutoRef")->isChecked());
    }

    // The main fader and the fader dialog take keys; the level reaches
    // the unit when the key is released, and stays after the next poll.
    void faderKeysReachTheUnit() {
        QVERIFY(clickTab(0));
        auto* field = child<QLineEdit>(win, "lblVol(0)");
        typeInto(field, "7");
        QTest::keyClick(field, Qt::Key_Return);
        auto* fader = child<QSlider>(win, "sclVol");
        grabHandle(fader);
        QVERIFY(fader->hasFocus());
        sim->clearLog();
        QTest::keyClick(fader, Qt::Key_Up);
        QVERIFY(sim->waitForLog(volumeSent("71").toStdString()));
        QCOMPARE(field->text(), QString("7.1"));
        QTest::keyClick(fader, Qt::Key_PageDown);
        QVERIFY(sim->waitForLog(volumeSent("61").toStdString()));
        QTest::keyClick(fader, Qt::Key_Down);
        QVERIFY(sim->waitForLog(volumeSent("60").toStdString()));
        QCOMPARE(child<QLineEdit>(page(), "lblVol(3)")->text(), QString("6.0"));
        // The poll reads the unit again: the new level stays.
        ed().main.bar.tmrPoll.tick();
        QCOMPARE(field->text(), QString("6.0"));
        QCOMPARE(int(ed().vals.CurrentVolume), 60);

        // "Adjust Fader" opens the dialog beside the main window, its
        // slider focused.
        QVERIFY(clickTab(1));
        auto* d = child<QDialog>(win, "frmFader");
        click(child<QPushButton>(page(), "cmdAdjust(0)"));
        QTRY_VERIFY(d->isVisible());
        // Beside the window when the screen has room, never on the top-left corner.
        const QRect screen = win->screen()->availableGeometry();
        QVERIFY(d->pos() != QPoint(0, 0));
        if (screen.right() - win->frameGeometry().right() > d->frameGeometry().width())
            QVERIFY(d->x() > win->frameGeometry().right());
        QVERIFY(d->windowFlags() & Qt::WindowCloseButtonHint);
        auto* dslider = child<QSlider>(d, "sclVol");
        auto* dfield = child<QLineEdit>(d, "lblVol");
        QTRY_VERIFY(dslider->hasFocus());
        sim->clearLog();
        QTest::keyClick(dslider, Qt::Key_Up);
        QVERIFY(sim->waitForLog(volumeSent("61").toStdString()));
        QTest::keyClick(dslider, Qt::Key_PageUp);
        QVERIFY(sim->waitForLog(volumeSent("71").toStdString()));
        QCOMPARE(dfield->text(), QString("7.1"));
        QCOMPARE(field->text(), QString("7.1"));
        QCOMPARE(sim->logMatching("TEXT V7").size(), std::size_t(1));  // once, on release
        shoot(d, "dialog-fader");

        // Its field: Enter sends, Escape discards the typing, a refused
        // value leaves the level in force on screen.
        typeInto(dfield, "5");
        QTest::keyClick(dfield, Qt::Key_Return);
        QVERIFY(sim->waitForLog(volumeSent("50").toStdString()));
        QCOMPARE(field->text(), QString("5.0"));
        QCOMPARE(dslider->value(), 50);
        typeInto(dfield, "3");
        QTest::keyClick(dfield, Qt::Key_Escape);
        QCOMPARE(dfield->text(), QString("5.0"));
        QVERIFY(d->isVisible());
        typeInto(dfield, "12");
        QTest::keyClick(dfield, Qt::Key_Return);
        QCOMPARE(boxes.last(), std::string("Range Check Error: Error, Please enter a number between 0 and 9.9!"));
        QCOMPARE(dfield->text(), QString("5.0"));
        QCOMPARE(dfield->selectedText(), QString("5.0"));
        QVERIFY(sim->logMatching("TEXT V30").empty());

        // Escape on the slider closes the dialog; so does its Close button.
        QTest::keyClick(dfield, Qt::Key_Tab);
        QTRY_VERIFY(dslider->hasFocus());
        QTest::keyClick(dslider, Qt::Key_Escape);
        QTRY_VERIFY(!d->isVisible());
        click(child<QPushButton>(page(), "cmdAdjust(0)"));
        QTRY_VERIFY(d->isVisible());
        click(child<QPushButton>(d, "cmdClose"));
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(int(ed().vals.FaderDialogActive), 0);
    }

    // Each slider family with the keyboard: arrows and page keys step it,
    // the field follows, and the move reaches the unit on release.
    void sliderFamiliesTakeKeys_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("channel");  // the E.Q channel button to press first
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("texts");  // after Up, Page Up, Page Down, Down
        const QStringList half = {"0.5", "2.5", "0.5", "0.0"};
        QTest::newRow("band") << 2 << "cmdEQChan(0)" << "sclA(3)" << "lblBand(3)" << half;
        QTest::newRow("surround band") << 2 << "cmdEQChan(1)" << "sclB(8)" << "lblLSRSv(8)" << half;
        QTest::newRow("sub-bass gain") << 2 << "cmdEQChan(5)" << "sclGain" << "lblGain" << half;
        QTest::newRow("bass") << 2 << "cmdEQChan(2)" << "sclBass" << "lblBass" << QStringList{"1", "3", "1", "0"};
        QTest::newRow("treble") << 2 << "cmdEQChan(4)" << "sclTreb" << "lblTreb" << QStringList{"1", "3", "1", "0"};
        QTest::newRow("trim") << 1 << "" << "sclPNG(3)" << "lblPNG(3)" << half;
        QTest::newRow("obe gain") << 3 << "" << "sclOBE" << "lblOBE" << half;
    }
    void sliderFamiliesTakeKeys() {
        QFETCH(int, tab);
        QFETCH(QString, channel);
        QFETCH(QString, slider);
        QFETCH(QString, field);
        QFETCH(QStringList, texts);
        setAutoUpload(true);
        QVERIFY(clickTab(tab));
        if (!channel.isEmpty()) click(child<QPushButton>(page(), channel.toLatin1()));
        if (tab == 3 && !ed().vals.ObeEnabled) click(child<QPushButton>(page(), "cmdOBEEnable"));
        auto* s = child<QSlider>(page(), slider.toLatin1());
        auto* f = child<QLineEdit>(page(), field.toLatin1());
        QVERIFY(s->isVisible() && s->isEnabled());
        typeInto(f, "0");
        QTest::keyClick(f, Qt::Key_Return);
        grabHandle(s);
        QVERIFY(s->hasFocus());
        const Qt::Key keys[4] = {Qt::Key_Up, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Down};
        for (int i = 0; i < 4; ++i) {
            sim->clearLog();
            const int before = s->value();
            QTest::keyClick(s, keys[i]);
            QCOMPARE(f->text(), texts[i]);
            QVERIFY2(sim->waitForLog("STORED audio block"), qPrintable(texts[i]));
            // Up and Page Up raise the handle (vertical) or move it right (OBE).
            QCOMPARE(s->value() > before, i < 2);
        }
        QVERIFY(s->hasFocus());
    }

    // Each numeric field: Enter checks and snaps, Escape discards the
    // typing, a refused value leaves the value in force on screen.
    void numericFieldsTakeEnterAndEscape_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refused");
        QTest::newRow("band") << 2 << "cmdEQChan(0)" << "lblBand(26)" << "1.3" << "1.0" << "6.5";
        QTest::newRow("surround band") << 2 << "cmdEQChan(3)" << "lblLSRSv(0)" << "-1.3" << "-1.5" << "-7";
        QTest::newRow("sub-bass gain") << 2 << "cmdEQChan(5)" << "lblGain" << "2" << "2.0" << "12";
        QTest::newRow("bass") << 2 << "cmdEQChan(0)" << "lblBass" << "2.5" << "2" << "11";
        QTest::newRow("treble") << 2 << "cmdEQChan(0)" << "lblTreb" << "-10" << "-10" << "-11";
        QTest::newRow("trim") << 1 << "" << "lblPNG(5)" << "-6" << "-6.0" << "-6.5";
        QTest::newRow("obe gain") << 3 << "" << "lblOBE" << "3.3" << "3.0" << "9";
        QTest::newRow("fader, format tab") << 0 << "" << "lblVol(0)" << "6.25" << "6.2" << "10";
        QTest::newRow("fader, trim tab") << 1 << "" << "lblVol(1)" << "7.04" << "7.0" << "-0.1";
        QTest::newRow("fader, E.Q tab") << 2 << "" << "lblVol(2)" << "9.9" << "9.9" << "99";
        QTest::newRow("fader, OBE tab") << 3 << "" << "lblVol(3)" << "0" << "0.0" << "abc9";
    }
    void numericFieldsTakeEnterAndEscape() {
        QFETCH(int, tab);
        QFETCH(QString, channel);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, refused);
        QVERIFY(clickTab(tab));
        if (!channel.isEmpty()) click(child<QPushButton>(page(), channel.toLatin1()));
        if (field == "lblOBE" && !ed().vals.ObeEnabled) click(child<QPushButton>(page(), "cmdOBEEnable"));
        auto* f = child<QLineEdit>(page(), field.toLatin1());
        QVERIFY(f->isEnabled());
        typeInto(f, typed);
        QTest::keyClick(f, Qt::Key_Return);
        QCOMPARE(f->text(), shown);
        QVERIFY(f->hasFocus());
        typeInto(f, "4");
        QTest::keyClick(f, Qt::Key_Escape);
        QCOMPARE(f->text(), shown);
        const auto before = boxes.shown.size();
        typeInto(f, refused);
        QTest::keyClick(f, Qt::Key_Return);
        QCOMPARE(f->text(), shown);
        if (refused != "abc9") {  // letters are no number: no message
            QCOMPARE(boxes.shown.size(), before + 1);
            QVERIFY(boxes.last().rfind("Range Check Error: Error, Please enter a number between ", 0) == 0);
            QCOMPARE(f->selectedText(), shown);
        }
    }

    // Vertical sliders fill their groove from the bottom up to the handle.
    void slidersFillFromTheBottom() {
        QVERIFY(clickTab(1));
        auto* f = child<QLineEdit>(page(), "lblPNG(0)");
        typeInto(f, "0");
        QTest::keyClick(f, Qt::Key_Return);
        auto* s = child<QSlider>(page(), "sclPNG(0)");
        const QImage img = s->grab().toImage();
        const QRect handle = handleRect(s);
        const QStyleOptionSlider opt = sliderOption(s);
        const QRect groove = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, s);
        const int x = groove.center().x();
        const QColor highlight = s->palette().color(QPalette::Highlight);
        const QColor below = img.pixelColor(x, (handle.bottom() + groove.bottom()) / 2);
        const QColor above = img.pixelColor(x, (handle.top() + groove.top()) / 2);
        QVERIFY2(distance(below, highlight) < distance(above, highlight),
                 qPrintable(QString("below %1, above %2").arg(below.name(), above.name())));
        shoot(s, "slider-fill");
    }

    // Upload Settings says what it sent; an edit not yet sent says so too.
    void uploadSaysWhatWasSent() {
        setAutoUpload(false);
        QVERIFY(clickTab(1));
        auto* s = child<QSlider>(page(), "sclPNG(2)");
        grabHandle(s);
        QTest::keyClick(s, Qt::Key_Down);
        QVERIFY(win->isWindowModified());
        QCOMPARE(mw().statusBar()->currentMessage().toStdString(), std::string(kNotSentYet));
        sim->clearLog();
        click(child<QPushButton>(page(), "cmdUp(1)"));
        QVERIFY(sim->waitForLog("STORED audio block"));
        QVERIFY(!sim->logMatching("STORED system block").empty());
        const QString msg = mw().statusBar()->currentMessage();
        QVERIFY2(msg.startsWith("Verified: the unit holds the settings sent (system and audio blocks read back at"),
                 qPrintable(msg));
        shoot(win, "upload-status");
    }

    // The revert question at exit answers No to Enter.
    void revertQuestionDefaultsToNo() {
        QtMessageBox real;
        real.parent = win;
        auto pressEnter = [] {
            QTimer::singleShot(0, [] {
                QWidget* box = QApplication::activeModalWidget();
                if (box) QTest::keyClick(box, Qt::Key_Return);
            });
        };
        pressEnter();
        QCOMPARE(int(real.show("Do you want to revert back to original settings?", "Revert?", MsgIcon::Question,
                               MsgButtons::YesNoDefaultNo)),
                 int(MsgResult::No));
        pressEnter();
        QCOMPARE(int(real.show("Are you sure you want to Set Fader = 7.0 ?", "Set Fader = 7.0", MsgIcon::Question,
                               MsgButtons::YesNo)),
                 int(MsgResult::Yes));
    }

    // Off line, and after a failed command, the buttons that act on the
    // unit keep their look; Disconnect and Connect open and close the link.
    void buttonsShowOnlyWhatTheUnitTook() {
        QVERIFY(clickTab(0));
        auto* mute = child<QPushButton>(page(), "cmdMute");
        QCOMPARE(mute->text(), QString("Mute"));
        QVERIFY(sim->control("silent on"));
        click(mute);  // the unit does not answer: retries, then off line
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(win, "lblStat")->text(), QString("Off Line"), 20000);
        QVERIFY(boxes.last().rfind("Connection Error: The following Errors were encountered:", 0) == 0);
        QCOMPARE(mute->text(), QString("Mute"));
        QVERIFY(!mute->font().bold());
        QVERIFY(!child<QPushButton>(win, "cmdDisconnect")->isEnabled());

        QVERIFY(clickTab(2));
        auto* pink = child<QPushButton>(page(), "cmdPink");
        QVERIFY(pink->isEnabled());
        click(pink);  // off line: nothing visible
        QCOMPARE(pink->text(), QString("Pink Noise Off"));
        QVERIFY(!pink->font().bold());

        // Connect again; then Disconnect quietens the unit and closes the link.
        QVERIFY(sim->control("silent off"));
        QVERIFY(clickTab(0));
        click(child<QPushButton>(win, "cmdConnect"));
        QTRY_COMPARE(child<QLabel>(win, "lblStat")->text(), QString("On Line"));
        sim->clearLog();
        click(child<QPushButton>(win, "cmdDisconnect"));
        QCOMPARE(child<QLabel>(win, "lblStat")->text(), QString("Off Line"));
        QVERIFY(sim->waitForLog("TEXT B1"));  // back to 9600
        QVERIFY(!sim->logMatching("TEXT PL-").empty());
        QVERIFY(!sim->logMatching("TEXT A-").empty());
        QVERIFY(!child<QPushButton>(win, "cmdDisconnect")->isEnabled());

        // A port with no unit: the box comes once the progress dialog has
        // gone, and says why.
        bool progressShownUnderBox = true;
        boxes.onShow = [this, &progressShownUnderBox] {
            progressShownUnderBox = child<QDialog>(win, "frmProg")->isVisible();
        };
        QVERIFY(choose({"mnuOptions", "mnuCom", "mnuCom2"}));
        click(child<QPushButton>(win, "cmdConnect"));
        QTRY_VERIFY2(boxes.last().rfind("Connection Error: Unable to connect to unit!\n\nCOM2 is ", 0) == 0,
                     boxes.last().c_str());
        QVERIFY2(boxes.last().find("absent2, which does not exist") != std::string::npos, boxes.last().c_str());
        QVERIFY(!progressShownUnderBox);
        boxes.onShow = nullptr;
        QVERIFY(!child<QDialog>(win, "frmProg")->isVisible());
        QCOMPARE(child<QLabel>(win, "lblStat")->text(), QString("Off Line"));

        // Connect while on line opens the link again, on the port chosen now.
        QVERIFY(choose({"mnuOptions", "mnuCom", "mnuCom1"}));
        click(child<QPushButton>(win, "cmdConnect"));
        QTRY_COMPARE(child<QLabel>(win, "lblStat")->text(), QString("On Line"));
        sim->clearLog();
        click(child<QPushButton>(win, "cmdConnect"));
        QTRY_COMPARE(child<QLabel>(win, "lblStat")->text(), QString("On Line"));
        QVERIFY(!sim->logMatching("TEXT B1").empty());  // the old link closed cleanly first
        QCOMPARE(mute->text(), QString("Mute"));
        click(mute);  // on line the mute works again
        QVERIFY(sim->waitForLog("TEXT M+"));
        QCOMPARE(mute->text(), QString("Un-Mute"));
        click(mute);
        QVERIFY(sim->waitForLog("TEXT M-"));
    }

    // Units beside the values, and the scales' ends and zero labelled.
    void unitsAndScalesAreLabelled() {
        auto texts = [](QWidget* w) {
            QStringList t;
            for (auto* l : w->findChildren<QLabel*>()) t << l->text();
            return t;
        };
        const QStringList bands = texts(child<QWidget>(page(), "frmBandA"));
        for (const char* t : {"Hz", "dB", "+6", "0", "-6", "40", "16k"}) QVERIFY2(bands.contains(t), t);
        QVERIFY(texts(child<QWidget>(page(), "frmBandB")).contains("Hz"));
        const QStringList bassTreble = texts(child<QWidget>(page(), "Frame1(8)"));
        for (const char* t : {"dB", "+10", "0", "-10"}) QVERIFY2(bassTreble.contains(t), t);
        const QStringList trims = texts(child<QWidget>(page(), "frmTrim"));
        for (const char* t : {"dB", "+6", "0", "-6"}) QVERIFY2(trims.contains(t), t);
        QVERIFY(texts(child<QWidget>(page(), "frmObe")).contains("dB"));
        const QStringList fader = texts(child<QWidget>(page(), "Frame1(1)"));
        for (const char* t : {"9.9", "0.0"}) QVERIFY2(fader.contains(t), t);
        QVERIFY(child<QLabel>(page(), "lblDateFormat")->text().contains("dd/mm/yy"));
        // The fields keep their own texts: bare numbers.
        QCOMPARE(child<QLineEdit>(page(), "lblBand(0)")->text().contains("dB"), false);
    }

    void screenshotsOfEveryTab() {
        win->resize(940, 660);
        // The window must fit a 1024 x 768 screen.
        QVERIFY(win->minimumSizeHint().width() <= 1000);
        QVERIFY(win->minimumSizeHint().height() <= 700);
        const char* names[8] = {"0-format", "1-trim", "2-eq", "3-obe", "4-optical", "5-options", "6-theater", "7-help"};
        for (int i = 0; i < 8; ++i) {
            QVERIFY(clickTab(i));
            QApplication::processEvents();
            shoot(win, names[i]);
        }
        // The equaliser's other panes.
        QVERIFY(clickTab(2));
        click(child<QPushButton>(page(), "cmdEQChan(1)"));
        shoot(win, "2-eq-surround");
        click(child<QPushButton>(page(), "cmdEQChan(5)"));
        QVERIFY(!child<QWidget>(win, "frmBandA")->isVisible());
        QVERIFY(child<QWidget>(win, "frmBass")->isVisible());
        shoot(win, "2-eq-sub");
    }

    // A mistyped command line is refused with the usage, not ignored.
    void commandLineSaysWhatIsWrong_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "unknown argument '--bogus'";
        QTest::newRow("stray word") << QStringList{"bogus"} << 2 << "unknown argument 'bogus'";
        QTest::newRow("library without path") << QStringList{"--library"} << 2 << "--library needs the path";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "usage: zelkvelq";
        QTest::newRow("no display") << QStringList{} << 1 << "no display";
    }
    void commandLineSaysWhatIsWrong() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(v);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(GUI_PROGRAM_DIR "/zelkvelq"), args);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(out.contains(says), qPrintable(out));
        if (status == 2) QVERIFY(out.contains("usage: zelkvelq"));
    }

    void closingQuietensTheUnit() {
        sim->clearLog();
        boxes.answers = {MsgResult::No, MsgResult::No};  // don't save, don't revert
        QVERIFY(win->close());
        QVERIFY(ed().lifecycle.ended());
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

// Runs `test` unless test functions are named on the command line and none
// of them is its own, so that `test_gui FUNCTION` runs one case alone.
int runIfNamed(QObject& test, int argc, char** argv) {
    bool named = false, own = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            const QByteArray opt(argv[i]);
            if (opt == "-o" || opt == "-maxwarnings" || opt == "-eventdelay" || opt == "-keydelay" ||
                opt == "-mousedelay" || opt == "-callgrind" || opt == "-platform")
                ++i;  // its value
            continue;
        }
        named = true;
        const QByteArray name = QByteArray(argv[i]).split(':').front() + "()";
        own = own || test.metaObject()->indexOfMethod(name.constData()) >= 0;
    }
    return named && !own ? 0 : QTest::qExec(&test, argc, argv);
}

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    int status = 0;
    {
        RtfTest rtf;
        status |= runIfNamed(rtf, argc, argv);
    }
    {
        GuiTest gui;
        status |= runIfNamed(gui, argc, argv);
    }
    return status;
}

#include "test_gui.moc"
