#include "ui/app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QActionGroup>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "form/translate.h"
#include "ui/bind.h"
#ifdef Q7M_SUPPORT_BUNDLE
#include "support/support_command.h"
#include "ui/support_dialog.h"
#else
namespace zelk {
class SupportCommand {};  // built without the support bundle
}  // namespace zelk
#endif

namespace zelk {

EditorApp::EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg, FileDialogService* files) {
    // Library calls run on the link thread; pauses and timer ticks wait for
    // the exchange in flight instead of freezing or interleaving with it.
    clock_.runner = &runner_;
    places_ = std::make_unique<WindowPlaces>(QString::fromStdString(paths.dataDir + "/windows.ini"));
    setTickGate([this](const void* key, std::function<void()> tick) { runner_.whenIdle(key, std::move(tick)); });
    boxes_.shown = msg ? msg : &qtMsg_;
    editor_ = std::make_unique<Editor>(Services{boxes_, files ? *files : static_cast<FileDialogService&>(qtFiles_),
                                                clock_, ui_, runner_},
                                       link, std::move(paths));
    editor_->main.bar.form.setVisible(false);
    main_ = std::make_unique<MainWindow>(*editor_);
    // The smallest size fits a 1366x768 screen; the pictures and the
    // equaliser grow with a larger one.
    main_->setMinimumSize(940, 660);
    main_->resize(940, 660);
    places_->keep(main_.get(), WindowPlaces::Keep::PlaceAndSize);
    places_->restore(main_.get());
    QObject::connect(main_->tabs(), &QTabWidget::currentChanged, main_.get(),
                     [this](int tab) { places_->setNumber(main_->objectName(), "tab", tab); });
    main_->setRunner(&runner_);
    qtMsg_.parent = main_.get();
    qtFiles_.parent = main_.get();
    ui_.mainWindow = main_.get();
    editor_->main.bar.form.observe([this](Control& c, Prop p) {
        if (p == Prop::Visible) main_->setVisible(c.visible());
    });
    // Start-up is over when the splash goes: then the tab last used comes
    // back (through the tab strip, as a click would), and a session before
    // that ended uncleanly is told of.
    editor_->splash.form.observe([this](Control& c, Prop p) {
        if (p != Prop::Visible || c.visible() || startedUp_) return;
        startedUp_ = true;
        QTimer::singleShot(0, main_.get(), [this] {
            if (!main_->isVisible()) return;
            const int tab = places_->number(main_->objectName(), "tab", 0);
            if (tab > 0 && tab < main_->tabs()->count()) main_->tabs()->setCurrentIndex(tab);
#ifdef Q7M_SUPPORT_BUNDLE
            support_->offerAfterUncleanEnd(previous_);
#endif
        });
    });
    // Its Cancel works while the unit is awaited.
    runner_.takeInputDuringWaits(buildProgressDialog(*editor_, main_.get()));
    buildTheaterDialog(*editor_, main_.get());
    buildRefreshDialog(*editor_, main_.get());
    places_->keep(buildFaderDialog(*editor_, main_.get(), places_.get()), WindowPlaces::Keep::Place);
    QDialog* compare = buildCompareDialog(*editor_, main_.get());
    places_->keep(compare, WindowPlaces::Keep::PlaceAndSize);
    places_->restore(compare);
    buildAsFoundDialog(*editor_, main_.get());
    buildHistoryDialog(*editor_, main_.get());
    editor_->service.setReportWriter(&reports_);
    buildSupport(link);
    buildLanguageMenu();
    QWidget* site = buildSiteWindow(*editor_, main_.get());
    places_->keep(site, WindowPlaces::Keep::PlaceAndSize);
    places_->restore(site);
    survey_ = std::make_unique<QtUnitSurvey>(QtUnitSurvey::findProgram());
    editor_->siteOverview.setSurvey(survey_.get());
    splash_.reset(buildSplash(*editor_));
}

EditorApp::~EditorApp() {
    stopWatchdog();
    setTickGate(nullptr);
}

void EditorApp::start() { editor_->splash.form.setVisible(true); }

void EditorApp::buildSupport([[maybe_unused]] const LinkApi& link) {
#ifdef Q7M_SUPPORT_BUNDLE
    Editor& ed = *editor_;
    auto versions = [&ed, &link] {
        std::vector<std::pair<std::string, std::string>> v;
        const std::string name = QCoreApplication::applicationName().toStdString();
        v.emplace_back("Program", (name.empty() ? std::string("zelkvelq") : name) + " " +
                                      QCoreApplication::applicationVersion().toStdString());
        const std::string library = link.InitDLL ? fileOfFunction(reinterpret_cast<const void*>(link.InitDLL)) : "";
        v.emplace_back("Link library", library.empty() ? std::string("not loaded") : library);
        v.emplace_back("Qt", qVersion());
        v.emplace_back("Operating system", operatingSystem());
        std::string unit = "off line";
        if (ed.vals.OnLine) {
            unit.clear();
            for (const Label& l : ed.main.format.lnlInfo) unit += (unit.empty() ? "" : "; ") + l.caption();
        }
        v.emplace_back("Unit", unit);
        return v;
    };
    support_ = std::make_unique<SupportCommand>(
        supportForm_, ed.main.bar, ed.svc.msg, ed.svc.files, clock_,
        SupportCommand::Sources{ed.paths.dataDir, ed.paths.configDir,
                                "zelkvelq " + QCoreApplication::applicationVersion().toStdString(), versions});
    QMenu* help = main_->menuBar()->addMenu(QCoreApplication::translate("Captions", "He&lp"));
    help->setObjectName("mnuHelp");
    QAction* save = help->addAction(QString());
    save->setParent(main_.get());
    bind(ed.main.bar.mnuSupport, save);
    places_->keep(buildSupportDialog(supportForm_, main_.get()), WindowPlaces::Keep::Place);
#endif
}

void EditorApp::buildLanguageMenu() {
    auto* options = main_->findChild<QMenu*>(QStringLiteral("mnuOptions"));
    if (!options) return;
    QMenu* menu = options->addMenu(QCoreApplication::translate("Captions", "Language"));
    menu->setObjectName("mnuLanguage");
    auto* group = new QActionGroup(menu);
    const QString dataDir = QString::fromStdString(editor_->paths.dataDir);
    const QString kept = keptLanguage(dataDir);
    auto add = [&](const QString& caption, const QString& code) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QStringLiteral("mnuLanguage_") + (code.isEmpty() ? QStringLiteral("system") : code));
        a->setCheckable(true);
        a->setChecked(code == kept);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, main_.get(), [this, dataDir, code] {
            if (!keepLanguage(dataDir, code)) {
                boxes_.show(translate("Captions", "The language could not be kept: the editor's settings "
                                                  "file cannot be written."),
                            translate("Captions", "Language"), MsgIcon::Exclamation, MsgButtons::OK);
                return;
            }
            boxes_.show(translate("Captions", "The editor will use this language from its next start."),
                        translate("Captions", "Language"), MsgIcon::None, MsgButtons::OK);
        });
    };
    add(QCoreApplication::translate("Captions", "System Language"), QString());
    // Each language by its own name, so that it is found whatever the window speaks.
    for (const Language& l : kLanguages) add(QString::fromUtf8(l.name), QString::fromLatin1(l.code));
}

MsgResult EditorApp::Boxes::show(const std::string& text, const std::string& title, MsgIcon icon,
                                 MsgButtons buttons) {
    if (!quiet) return shown->show(text, title, icon, buttons);
    return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
}

namespace {
constexpr int kCancelAfterMs = 3000;    // an exchange in flight that long is cancelled
constexpr int kGiveUpUnitAfterMs = 7000;  // the quietening of a unit that long is cancelled
constexpr int kEndAfterMs = 9500;         // the process ends whatever happens
const char kEnding = 0;                   // the key of the deferred ending

// Dismisses the modal boxes and dialogs that are open (each answers as
// cancelled), the innermost first.
void dismissModals() {
    for (int i = 0; i < 16; ++i) {
        QWidget* m = QApplication::activeModalWidget();
        if (!m) return;
        if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
        else m->close();
        if (QApplication::activeModalWidget() == m) m->hide();
    }
}
}  // namespace

void EditorApp::endBySignal(int signal) {
    if (endSignal_) return;  // already ending
    endSignal_ = signal;
    boxes_.quiet = true;
    dismissModals();
    {
        std::lock_guard<std::mutex> lock(watchdogMutex_);
        watchdogStop_ = false;
    }
    watchdog_ = std::thread([this, signal] {
        std::unique_lock<std::mutex> lock(watchdogMutex_);
        if (!watchdogWake_.wait_for(lock, std::chrono::milliseconds(kEndAfterMs), [this] { return watchdogStop_; }))
            std::_Exit(128 + signal);
    });
    auto cancel = [this] { runner_.requestCancel(); };
    QTimer::singleShot(kCancelAfterMs, &runner_, [this, cancel] {
        if (!editor_->lifecycle.ended() && runner_.busy() && !ending_) cancel();
    });
    QTimer::singleShot(kGiveUpUnitAfterMs, &runner_, cancel);
    // Out of the handler (and of any box it dismissed) before the ending.
    QTimer::singleShot(0, &runner_, [this] { runner_.whenIdle(&kEnding, [this] { finishEnding(); }); });
}

void EditorApp::finishEnding() {
    if (QApplication::activeModalWidget()) {  // one more box came up meanwhile
        dismissModals();
        QTimer::singleShot(0, &runner_, [this] { runner_.whenIdle(&kEnding, [this] { finishEnding(); }); });
        return;
    }
    ending_ = true;
    editor_->lifecycle.endWithoutQuestions();
    QApplication::closeAllWindows();
    ui_.quit();
}

void EditorApp::stopWatchdog() {
    {
        std::lock_guard<std::mutex> lock(watchdogMutex_);
        watchdogStop_ = true;
    }
    watchdogWake_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
}

}  // namespace zelk
