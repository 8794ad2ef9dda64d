// app.h - the editor's windows put together: the logic, its Qt windows,
// and the services they use.  Used by main() and by the GUI tests.
#ifndef ZELK_UI_APP_H
#define ZELK_UI_APP_H

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "app/editor.h"
#include "ui/qt_link_runner.h"
#include "ui/qt_services.h"
#include "ui/service_dialogs.h"
#include "ui/window_places.h"
#include "support/session.h"
#include "ui/site_window.h"
#include "ui/translations.h"
#include "ui/windows.h"

namespace zelk {

class SupportCommand;

class EditorApp {
public:
    // `msg` and `files` may be substitutes (tests); null means the real ones.
    EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg = nullptr, FileDialogService* files = nullptr);
    ~EditorApp();

    // What the start found of the session before (main() tells, before
    // start()): one that ended uncleanly is told of once start-up is over,
    // and the support bundle offered.
    void setPreviousSession(PreviousSession p) { previous_ = std::move(p); }

    // Shows the splash window; its first timer tick loads the main window.
    void start();

    Editor& editor() { return *editor_; }
    MainWindow& mainWindow() { return *main_; }

    QtLinkRunner& runner() { return runner_; }
    // Where the windows were (windows.ini in the data folder): a window
    // kept here is put back at the next start.
    WindowPlaces& places() { return *places_; }
    // Help > Save Support Bundle (null where the editor is built without it).
    SupportCommand* support() { return support_.get(); }

    // A signal told the editor to end (SIGTERM, SIGHUP, SIGINT): open
    // dialogs and boxes are dismissed, nothing more is asked, and once the
    // exchange in flight is over (cancelled if it takes more than a few
    // seconds) the shut-down runs without questions and the program ends,
    // within 10 s whatever the unit does.
    void endBySignal(int signal);
    // The exit status the signal asks for (128 + its number), 0 without one.
    int exitStatus() const { return endSignal_ ? 128 + endSignal_ : 0; }

private:
    void buildSupport(const LinkApi& link);
    // Options > Language: the choice is kept for the next start.
    void buildLanguageMenu();
    // The message boxes the logic sees: the real ones (or a test's), and
    // none at all while the editor ends by a signal.
    class Boxes : public MessageBoxService {
    public:
        MsgResult show(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) override;
        MessageBoxService* shown = nullptr;
        bool quiet = false;
    };
    void finishEnding();
    void stopWatchdog();

    QtTextsInUse texts_;  // first: every form below is captioned through it
    QtLinkRunner runner_;
    QtMessageBox qtMsg_;
    Boxes boxes_;
    QtFileDialog qtFiles_;
    QtClock clock_;
    QtUi ui_;
    QtReportWriter reports_;
    std::unique_ptr<WindowPlaces> places_;  // outlives the windows it keeps
    FrmSupport supportForm_;                // outlives its dialog
    std::unique_ptr<SupportCommand> support_;
    std::unique_ptr<Editor> editor_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<QWidget> splash_;
    PreviousSession previous_;
    bool startedUp_ = false;
    int endSignal_ = 0;
    bool ending_ = false;  // the shut-down without questions has begun
    // Ends the process should the ending itself hang (10 s from the signal).
    std::thread watchdog_;
    std::mutex watchdogMutex_;
    std::condition_variable watchdogWake_;
    bool watchdogStop_ = false;
    // Ended before the editor it reports to.
    std::unique_ptr<QtUnitSurvey> survey_;
};

}  // namespace zelk

#endif
