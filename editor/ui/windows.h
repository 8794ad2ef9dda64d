// windows.h - the Qt windows of the editor, each built from and bound to
// its control object.
#ifndef ZELK_UI_WINDOWS_H
#define ZELK_UI_WINDOWS_H

#include <QDialog>
#include <array>
#include <functional>
#include <QMainWindow>
#include <QWidget>

class QGridLayout;
class QTabWidget;
class QTextBrowser;
class QTimer;

namespace zelk {

class Editor;
class TextBox;

class QtLinkRunner;

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(Editor& ed);
    void setRunner(QtLinkRunner* r) { runner_ = r; }
    QTabWidget* tabs() const { return tabs_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void buildMenus();
    void enableInput(bool enable);

    Editor& ed_;
    QTabWidget* tabs_ = nullptr;
    bool closing_ = false;
    QtLinkRunner* runner_ = nullptr;
};

// Binds the visibility, caption and enabled state of a window to its form
// control; closing the window runs `onClose` instead of just hiding it, and
// Escape runs `onEscape` (the dialog's Cancel; `onClose` when not given).
class BoundDialog : public QDialog {
public:
    BoundDialog(QWidget* parent, std::function<void()> onClose, std::function<void()> onEscape = {})
        : QDialog(parent), onClose_(std::move(onClose)), onEscape_(std::move(onEscape)) {}

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    std::function<void()> onClose_, onEscape_;
};

QWidget* buildSplash(Editor& ed);
QDialog* buildProgressDialog(Editor& ed, QWidget* parent);
QDialog* buildTheaterDialog(Editor& ed, QWidget* parent);
QDialog* buildRefreshDialog(Editor& ed, QWidget* parent);
class WindowPlaces;
// Shown where it was last (`places`), else beside the main window.
QDialog* buildFaderDialog(Editor& ed, QWidget* parent, WindowPlaces* places = nullptr);

}  // namespace zelk

#endif
