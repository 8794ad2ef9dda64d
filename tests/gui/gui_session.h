// gui_session.h - the windowed editor against q7msim for a GUI test, with
// recorded message boxes and scripted file dialogs, and the user's means
// to work it: mouse clicks on widgets, menus opened with the mouse, and
// keys sent where the keyboard focus is.
#ifndef Q7M_TEST_GUI_SESSION_H
#define Q7M_TEST_GUI_SESSION_H

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

namespace q7mtest {

// Message boxes: recorded; questions answered from `answers`, else No.
class ScriptedBoxes : public zelk::MessageBoxService {
public:
    zelk::MsgResult show(const std::string& text, const std::string& title, zelk::MsgIcon,
                         zelk::MsgButtons b) override {
        shown.push_back(title + ": " + text);
        if (!answers.empty()) {
            const auto a = answers.front();
            answers.pop_front();
            return a;
        }
        return b == zelk::MsgButtons::OK ? zelk::MsgResult::OK : zelk::MsgResult::No;
    }
    std::vector<std::string> shown;
    std::deque<zelk::MsgResult> answers;
};

// File dialogs: each answers the next path, or is cancelled.
class ScriptedFiles : public zelk::FileDialogService {
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

class GuiSession {
public:
    // Starts the editor on `paths` (a simulated unit's folder by default)
    // and waits until its main window is up.
    bool start(const zelk::Paths& paths) {
        if (!lib.loaded() && !lib.load(libraryPath())) return false;
        app = std::make_unique<zelk::EditorApp>(lib.api(), paths, &boxes, &files);
        app->start();
        // Loaded: the title names the configuration.
        return QTest::qWaitFor(
            [this] {
                // In the window's language ("<CP Settings>" in English).
                const QString loaded = "<" + QCoreApplication::translate("Document", "CP Settings") + ">";
                return app->mainWindow().isVisible() && app->mainWindow().windowTitle().contains(loaded);
            },
            15000);
    }
    void stop() { app.reset(); }

    zelk::MainWindow& win() { return app->mainWindow(); }
    zelk::Editor& ed() { return app->editor(); }

    template <typename T>
    T* child(QObject* in, const char* name) {
        T* c = in->findChild<T*>(QString::fromLatin1(name));
        if (!c) qFatal("no widget %s", name);
        return c;
    }

    // A click on a window activates it, as a window manager does.
    void activate(QWidget* top) {
        if (QApplication::activeWindow() == top) return;
        top->activateWindow();
        if (!QTest::qWaitFor([top] { return QApplication::activeWindow() == top; }, 3000))
            qWarning("%s did not become active", qPrintable(top->objectName()));
    }
    void click(QWidget* w) {
        activate(w->window());
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    bool clickTab(int i) {
        QTabBar* bar = win().tabs()->tabBar();
        activate(&win());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        return win().tabs()->currentIndex() == i;
    }
    // Opens the menu path with the mouse and clicks its last item:
    // {"mnuOptions", "mnuUploadOptions", "mnuAuto"}.
    bool choose(std::initializer_list<const char*> path) {
        const std::vector<const char*> p(path);
        activate(&win());
        QMenuBar* bar = win().menuBar();
        QMenu* menu = child<QMenu>(&win(), p[0]);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000)) return false;
        for (std::size_t i = 1; i + 1 < p.size(); ++i) {
            QMenu* sub = child<QMenu>(&win(), p[i]);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sub->menuAction()).center());
            if (!QTest::qWaitFor([sub] { return sub->isVisible(); }, 3000)) return false;
            menu = sub;
        }
        QAction* item = child<QAction>(&win(), p.back());
        if (!item->isEnabled()) return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return QTest::qWaitFor([menu] { return !menu->isVisible(); }, 3000);
    }

    // A key pressed and released where the keyboard goes: an open menu,
    // else the focus widget, else the active window.
    static bool key(Qt::Key k, Qt::KeyboardModifiers m = {}) {
        QWidget* to = QApplication::activePopupWidget();
        if (!to) to = QApplication::focusWidget();
        if (!to) to = QApplication::activeWindow();
        if (!to) return false;
        QTest::keyClick(to, k, m);
        return true;
    }
    // Tab until the focus is on the widget named `name` (at most `limit`
    // presses).
    static bool tabTo(const char* name, int limit = 200) {
        for (int i = 0; i < limit; ++i) {
            if (QApplication::focusWidget() && QApplication::focusWidget()->objectName() == QLatin1String(name))
                return true;
            if (!key(Qt::Key_Tab)) return false;
        }
        return false;
    }

    zelk::LinkLibrary lib;
    ScriptedBoxes boxes;
    ScriptedFiles files;
    std::unique_ptr<zelk::EditorApp> app;
};

}  // namespace q7mtest

#endif
