// site_window.h - the Site Overview window, and the q7mctl child process
// that reads the site's other units for it.
#ifndef ZELK_UI_SITE_WINDOW_H
#define ZELK_UI_SITE_WINDOW_H

#include <QString>
#include <functional>

#include "files/site_survey.h"

class QProcess;
class QWidget;

namespace zelk {

class Editor;

// Runs q7mctl as a child process: it never blocks the window, and its
// result comes back through the event loop.
class QtUnitSurvey : public UnitSurvey {
public:
    explicit QtUnitSurvey(QString program) : program_(std::move(program)) {}
    ~QtUnitSurvey() override;
    QtUnitSurvey(const QtUnitSurvey&) = delete;
    QtUnitSurvey& operator=(const QtUnitSurvey&) = delete;

    void read(const std::vector<int>& ports, const std::string& folder, std::function<void(SurveyResult)> done) override;
    void approve(int port, const std::string& folder, std::function<void(SurveyResult)> done) override;
    bool busy() const override { return process_ != nullptr; }
    void stop() override;

    // The q7mctl beside the editor ($ZELKVELQ_Q7MCTL first), else the one
    // on the PATH.
    static QString findProgram();

private:
    void start(const std::vector<std::string>& args, std::function<void(SurveyResult)> done);
    QString program_;
    QProcess* process_ = nullptr;
};

// The window (object name "frmSite"), beside the main window.
QWidget* buildSiteWindow(Editor& ed, QWidget* parent);

}  // namespace zelk

#endif
