#include "ui/app.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "ui/bind.h"

namespace zelk {

EditorApp::EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg, FileDialogService* files) {
    // Library calls run on the link thread; pauses and timer ticks wait for
    // the exchange in flight instead of freezing or interleaving with it.
    clock_.runner = &runner_;
    setTickGate([this](const void* key, std::function<void()> tick) { runner_.whenIdle(key, std::move(tick)); });
    boxes_.shown = msg ? msg : &qtMsg_;
    editor_ = std::make_unique<Editor>(Services{boxes_, files ? *files : static_cast<FileDialogService&>(qtFiles_),
                                                clock_, ui_, runner_},
                                       link, std::move(paths));
    editor_->main.bar.form.setVisible(false);
    main_ = std::make_unique<MainWindow>(*editor_);
    main_->resize(940, 660);
    main_->setRunner(&runner_);
    qtMsg_.parent = main_.get();
    qtFiles_.parent = main_.get();
    ui_.mainWindow = main_.get();
    // The main window follows its form's visibility.
    editor_->main.bar.form.observe([this](Control& c, Prop p) {
        if (p == Prop::Visible) main_->setVisible(c.visible());
    });
    // Its Cancel works while the unit is awaited.
    runner_.takeInputDuringWaits(buildProgressDialog(*editor_, main_.get()));
    buildTheaterDialog(*editor_, main_.get());
    buildRefreshDialog(*editor_, main_.get());
    buildFaderDialog(*editor_, main_.get());
    buildCompareDialog(*editor_, main_.get());
    buildAsFoundDialog(*editor_, main_.get());
    buildHistoryDialog(*editor_, main_.get());
    editor_->service.setReportWriter(&reports_);
    buildSiteWindow(*editor_, main_.get());
    survey_ = std::make_unique<QtUnitSurvey>(QtUnitSurvey::findProgram());
    editor_->siteOverview.setSurvey(survey_.get());
    splash_.reset(buildSplash(*editor_));
}

EditorApp::~EditorApp() {
    stopWatchdog();
    setTickGate(nullptr);
}

void EditorApp::start() { editor_->splash.form.setVisible(true); }

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
