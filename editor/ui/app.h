// app.h - the editor's windows put together: the logic, its Qt windows,
// and the services they use.  Used by main() and by the GUI tests.
#ifndef ZELK_UI_APP_H
#define ZELK_UI_APP_H

#include <memory>

#include "app/editor.h"
#include "ui/qt_link_runner.h"
#include "ui/qt_services.h"
#include "ui/service_dialogs.h"
#include "ui/site_window.h"
#include "ui/windows.h"

namespace zelk {

class EditorApp {
public:
    // `msg` and `files` may be substitutes (tests); null means the real ones.
    EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg = nullptr, FileDialogService* files = nullptr);
    ~EditorApp();

    // Shows the splash window; its first timer tick loads the main window.
    void start();

    Editor& editor() { return *editor_; }
    MainWindow& mainWindow() { return *main_; }

    QtLinkRunner& runner() { return runner_; }

private:
    QtLinkRunner runner_;
    QtMessageBox qtMsg_;
    QtFileDialog qtFiles_;
    QtClock clock_;
    QtUi ui_;
    QtReportWriter reports_;
    std::unique_ptr<Editor> editor_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<QWidget> splash_;
    // Ended before the editor it reports to.
    std::unique_ptr<QtUnitSurvey> survey_;
};

}  // namespace zelk

#endif
