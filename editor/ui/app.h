// app.h - the editor's windows put together: the logic, its Qt windows,
// and the services they use.  Used by main() and by the GUI tests.
#ifndef ZELK_UI_APP_H
#define ZELK_UI_APP_H

#include <memory>

#include "app/editor.h"
#include "ui/qt_link_runner.h"
#include "ui/qt_services.h"
#include "ui/service_dialogs.h"
#include "ui/window_places.h"
#include "support/session.h"
#include "ui/site_window.h"
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

private:
    void buildSupport(const LinkApi& link);

    QtLinkRunner runner_;
    QtMessageBox qtMsg_;
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
    // Ended before the editor it reports to.
    std::unique_ptr<QtUnitSurvey> survey_;
};

}  // namespace zelk

#endif
