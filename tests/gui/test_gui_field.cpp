// The service visit in the real window, headless, against q7msim, driven
// with mouse clicks and key presses: the as-found file on start-up, a trim
// change listed by Compare with Unit, the table before Upload Settings,
// verify (and a unit that stores a byte wrong), the table's check boxes
// sending only the ticked settings, the unit's history, Open As-Found and
// the service report.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <deque>
#include <filesystem>
#include <memory>

#include "connection/link_api.h"
#include "model/compare.h"
#include "ui/app.h"
#include "ui/report_pdf.h"
#include "sim_process.h"

using namespace zelk;

namespace {

class Boxes : public MessageBoxService {
public:
    MsgResult show(const std::string& text, const std::string& title, MsgIcon, MsgButtons buttons) override {
        shown.push_back(title + ": " + text);
        return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Yes;
    }
    std::vector<std::string> shown;
};

class Dialogs : public FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string&, const std::string&) override { return next(); }
    std::optional<std::string> showSave(const std::string&, const std::string&) override { return next(); }
    std::optional<std::string> next() {
        if (paths.empty()) return std::nullopt;
        auto p = paths.front();
        paths.pop_front();
        return p;
    }
    std::deque<std::string> paths;
};

template <typename T>
T* child(QObject* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no widget %s", name);
    return c;
}

QString plain(QString s) { return s.remove('&'); }

// Clicks through the menu bar and its menus as a user does: each item of
// `path` by its text (without '&'), waiting for each menu to open.
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

}  // namespace

class FieldGuiTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<q7mtest::SimProcess> sim;
    LinkLibrary lib;
    Boxes boxes;
    Dialogs dialogs;
    std::unique_ptr<EditorApp> app;
    QMainWindow* win = nullptr;
    QString shots, data;

    QString status() { return win->statusBar()->currentMessage(); }
    QDialog* compare() { return child<QDialog>(win, "frmCompare"); }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void shoot(QWidget* w, const QString& name) {
        QDir().mkpath(shots);
        QVERIFY(w->grab().save(shots + "/" + name + ".png"));
    }
    // The user lowers the Left trim one step with the keyboard.
    void stepLeftTrimDown() {
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        tabs->setCurrentIndex(1);
        auto* trim = child<QSlider>(win, "sclPNG(0)");
        click(trim);
        QTest::keyClick(trim, Qt::Key_Down);
    }
    void pressUpload() { click(child<QPushButton>(win, "cmdUp(1)")); }

private slots:
    void initTestCase() {
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(lib.load(q7mtest::libraryPath()));
        Paths p;
        p.programDir = GUI_PROGRAM_DIR;
        p.dataDir = sim->dir() + "/data";
        p.configDir = sim->dir();
        data = QString::fromStdString(p.dataDir);
        app = std::make_unique<EditorApp>(lib.api(), p, &boxes, &dialogs);
        app->start();
        win = &app->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(win->isVisible() && win->windowTitle().contains("<CP Settings>"), 15000);
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = dir ? dir : GUI_ARTEFACT_DIR;
    }

    void startUpKeptTheUnitAsFound() {
        QTRY_VERIFY(status().startsWith("As found: the unit's configuration is kept in " + data + "/as-found/"));
        QCOMPARE(QDir(data + "/as-found").entryList({"*.zcf"}).size(), 1);
    }

    void compareListsExactlyTheChangedTrim() {
        stepLeftTrimDown();
        QVERIFY(clickMenu(win, {"File", "Compare with Unit..."}));
        QTRY_VERIFY(compare()->isVisible());
        auto* grid = child<QTableWidget>(compare(), "grdDiff");
        QCOMPARE(grid->rowCount(), 2);  // the section's row, then the setting's
        QCOMPARE(grid->item(0, 1)->text(), QString("Output Trims"));
        QCOMPARE(grid->item(1, 1)->text(), QString("Left Channel trim"));
        QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString("Unit"));
        QVERIFY(grid->item(1, 2)->text().endsWith(" dB"));
        shoot(compare(), "compare-with-unit");
        click(child<QPushButton>(compare(), "cmdCancel"));
        QTRY_VERIFY(!compare()->isVisible());
        QVERIFY(sim->logMatching("STORED").empty());
    }

    void theTableComesFirstThenTheUploadIsVerified() {
        QVERIFY(clickMenu(win, {"Options", "Upload Options", "Show differences before upload"}));
        QTRY_VERIFY(child<QAction>(win, "mnuShowDiff")->isChecked());
        pressUpload();
        QTRY_VERIFY(compare()->isVisible());
        QVERIFY(compare()->windowTitle().startsWith("Upload Settings"));
        QCOMPARE(child<QTableWidget>(compare(), "grdDiff")->rowCount(), 2);
        QVERIFY(sim->logMatching("STORED").empty());
        click(child<QPushButton>(compare(), "cmdUpload"));
        QTRY_VERIFY(!compare()->isVisible());
        QTRY_COMPARE(sim->logMatching("STORED").size(), std::size_t(2));
        QTRY_VERIFY(status().startsWith("Verified: the unit holds the settings sent (system and audio blocks"));
    }

    void aUnitThatStoresAByteWrongIsNamed() {
        QVERIFY(sim->control("corrupt audio 6"));  // the Left trim's cell
        stepLeftTrimDown();
        pressUpload();
        QTRY_VERIFY(compare()->isVisible());
        click(child<QPushButton>(compare(), "cmdUpload"));
        QTRY_VERIFY(status().startsWith("NOT verified: the unit holds other values for Left Channel trim."));
        QVERIFY(status().endsWith("The configuration is not uploaded."));
        QVERIFY(!boxes.shown.empty());
        QVERIFY(QString::fromStdString(boxes.shown.back()).startsWith("Upload Not Verified: "));
        QVERIFY(QString::fromStdString(boxes.shown.back()).contains("Left Channel trim: sent "));
        QVERIFY(sim->control("corrupt off"));
        // Turned off again with the keyboard-free path: the menu, by mouse.
        QVERIFY(clickMenu(win, {"Options", "Upload Options", "Show differences before upload"}));
        QTRY_VERIFY(!child<QAction>(win, "mnuShowDiff")->isChecked());
        pressUpload();
        QTRY_VERIFY(status().startsWith("Verified:"));
    }

    // Three settings changed; the Options section and the Left trim are
    // unticked by mouse: only the audio block goes, with the Right trim.
    void onlyTheTickedSettingsReachTheUnit() {
        stepLeftTrimDown();
        auto* right = child<QSlider>(win, "sclPNG(4)");
        click(right);
        QTest::keyClick(right, Qt::Key_Up);
        auto* tabs = child<QTabWidget>(win, "SSTAB1");
        tabs->setCurrentIndex(5);
        auto* delay = child<QComboBox>(win, "cboSurroundDelay");
        const QString delayBefore = delay->currentText();
        delay->setFocus();
        QTest::keyClick(delay, Qt::Key_Down);
        QVERIFY(delay->currentText() != delayBefore);

        QVERIFY(clickMenu(win, {"File", "Compare with Unit..."}));
        QTRY_VERIFY(compare()->isVisible());
        auto* grid = child<QTableWidget>(compare(), "grdDiff");
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->item(0, 1)->text(), QString("Options"));
        QCOMPARE(grid->item(3, 1)->text(), QString("Left Channel trim"));
        QCOMPARE(grid->item(4, 1)->text(), QString("Right Channel trim"));
        const QString rightWanted = grid->item(4, 2)->text();
        auto tick = [grid](int row) {
            auto* box = qobject_cast<QCheckBox*>(grid->cellWidget(row, 0));
            QStyleOptionButton opt;
            opt.initFrom(box);
            QTest::mouseClick(box, Qt::LeftButton, {},
                              box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, box).center());
            return box;
        };
        QCOMPARE(tick(0)->checkState(), Qt::Unchecked);
        QCOMPARE(qobject_cast<QCheckBox*>(grid->cellWidget(1, 0))->checkState(), Qt::Unchecked);
        tick(3);
        QCOMPARE(qobject_cast<QCheckBox*>(grid->cellWidget(2, 0))->checkState(), Qt::PartiallyChecked);
        shoot(compare(), "upload-selected");
        sim->clearLog();
        click(child<QPushButton>(compare(), "cmdUpload"));
        QTRY_VERIFY(!compare()->isVisible());
        QTRY_VERIFY(status().startsWith("Verified: the unit holds the settings sent (audio block"));
        QCOMPARE(sim->logMatching("STORED audio block").size(), std::size_t(1));
        QVERIFY(sim->logMatching("STORED system block").empty());
        // The editor holds what the unit holds: the unticked settings are
        // the unit's again, and nothing differs.
        QCOMPARE(delay->currentText(), delayBefore);
        QVERIFY(clickMenu(win, {"File", "Compare with Unit..."}));
        QTRY_VERIFY(compare()->isVisible());
        QCOMPARE(grid->rowCount(), 0);
        click(child<QPushButton>(compare(), "cmdCancel"));
        const std::string image = sim->dir() + "/after-selected.img";
        QVERIFY(sim->control("save " + image));
        const std::string bytes = q7mtest::readFile(image);
        QCOMPARE(bytes.size(), std::size_t(352));
        AudioBlock unitAudio;
        std::copy(bytes.begin() + 128, bytes.end(), unitAudio.bytes.begin());
        for (const auto& field : describeFields(SystemBlock{}, unitAudio, Blocks::Audio))
            if (field.name == "Right Channel trim") QCOMPARE(QString::fromStdString(field.text), rightWanted);
    }

    void unitHistoryListsTheUploadsNewestFirst() {
        QVERIFY(clickMenu(win, {"File", "Unit History..."}));
        auto* d = child<QDialog>(win, "frmHistory");
        QTRY_VERIFY(d->isVisible());
        auto* grid = child<QTableWidget>(d, "grdHistory");
        QVERIFY(grid->rowCount() >= 4);
        QCOMPARE(grid->item(0, 4)->text(), QString("verified"));
        QVERIFY(grid->item(0, 6)->text().startsWith("Right Channel trim "));
        QCOMPARE(grid->item(grid->rowCount() - 1, 3)->text().left(9), QString("as-found "));
        shoot(d, "unit-history");
        click(child<QPushButton>(d, "cmdClose"));
        QTRY_VERIFY(!d->isVisible());
    }

    void exportServiceReport() {
        const std::string pdf = sim->dir() + "/visit.pdf";
        dialogs.paths.push_back(pdf);
        QVERIFY(clickMenu(win, {"File", "Export Service Report..."}));
        QTRY_VERIFY(status() == QString::fromStdString("Service report written to " + pdf + "."));
        const std::string bytes = q7mtest::readFile(pdf);
        QVERIFY(bytes.rfind("%PDF-", 0) == 0);
        // Pages to look at: drawn from the same model into images.
        const ServiceReport r = app->editor().service.currentReport();
        QVERIFY(r.verify.rfind("Verified", 0) == 0);
        for (int page : {0, 1, 2}) {
            QImage img(1240, 1754, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            drawReportPage(p, QRectF(0, 0, img.width(), img.height()), r, page);
            p.end();
            QDir().mkpath(shots);
            QVERIFY(img.save(shots + QString("/service-report-page%1.png").arg(page + 1)));
        }
        if (std::system("command -v pdftoppm >/dev/null 2>&1") == 0)
            QCOMPARE(std::system(("pdftoppm -png -r 60 -f 1 -l 3 " + pdf + " " + shots.toStdString() +
                                  "/service-report-pdf")
                                     .c_str()),
                     0);
    }

    void openAsFoundListsTheArchive() {
        QVERIFY(clickMenu(win, {"File", "Open As-Found..."}));
        auto* d = child<QDialog>(win, "frmAsFound");
        QTRY_VERIFY(d->isVisible());
        auto* grid = child<QTableWidget>(d, "grdFiles");
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Theater"));
        auto* open = child<QPushButton>(d, "cmdOpen");
        QVERIFY(!open->isEnabled());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(0, 0)).center());
        QTRY_VERIFY(open->isEnabled());
        shoot(d, "open-as-found");
        click(open);
        QTRY_VERIFY(!d->isVisible());
        QTRY_VERIFY(win->windowTitle().contains("<As found: COM1_"));
    }

    void cleanupTestCase() {
        app.reset();
        sim.reset();
    }
};

QTEST_MAIN(FieldGuiTest)
#include "test_gui_field.moc"
