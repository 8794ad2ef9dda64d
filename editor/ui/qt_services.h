// qt_services.h - the real message boxes, file dialogs, clock and event
// loop behind the editor's service interfaces.
#ifndef ZELK_UI_QT_SERVICES_H
#define ZELK_UI_QT_SERVICES_H

#include <QString>
#include <QWidget>

#include "form/services.h"

namespace zelk {

class QtMessageBox : public MessageBoxService {
public:
    MsgResult show(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) override;
    QWidget* parent = nullptr;
};

// "Desc (*.zcf)|*.zcf|Old (*.cfg)|*.cfg" -> "Desc (*.zcf);;Old (*.cfg)"
QString qtFilter(const std::string& filter);

class QtFileDialog : public FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string& filter, const std::string& fileName) override;
    std::optional<std::string> showSave(const std::string& filter, const std::string& fileName) override;
    std::optional<std::string> showFolder(const std::string& title, const std::string& folder) override;
    QWidget* parent = nullptr;
};

class QtLinkRunner;

class QtClock : public ClockService {
public:
    LocalTime now() override;
    // Waits through the link runner, so the window keeps painting.
    void sleepMs(int ms) override;
    QtLinkRunner* runner = nullptr;
};

class QtUi : public UiService {
public:
    void repaint() override;
    void processEvents() override;
    int screenHeightTwips() override;
    void moveMainWindowToTop() override;
    void quit() override;
    QWidget* mainWindow = nullptr;
};

}  // namespace zelk

#endif
