// What a desktop application owes its users beyond its own rules: every
// control named for assistive technology, every command within reach of
// the keyboard in the order of the layout, a window that grows with the
// screen, and windows that come back where they were.  Run on a
// 1920x1080 off-screen screen, against q7msim.
#include <QAccessible>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <functional>

#include "files/config_file.h"
#include "gui_session.h"
#include "ui/picture_widget.h"

using namespace zelk;
using q7mtest::GuiSession;

namespace {

// The roles a user acts on.
bool interactive(QAccessible::Role r) {
    switch (r) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::PageTab:
    case QAccessible::ProgressBar:
    case QAccessible::Table:
    case QAccessible::ButtonMenu:
    case QAccessible::MenuItem: return true;
    default: return false;
    }
}

QString describe(QAccessibleInterface* i) {
    QObject* o = i->object();
    return QStringLiteral("%1 (role %2)").arg(o ? o->objectName() + "/" + o->metaObject()->className() : "?")
        .arg(int(i->role()));
}

// Every interactive element under `i` without a name, or with the name of
// a neighbour of its kind (six fields all called by their frame's title);
// returns how many interactive elements it looked at.
int unnamedUnder(QAccessibleInterface* i, QStringList& out, int depth = 0) {
    if (!i || depth > 40) return 0;
    int seen = 0;
    if (interactive(i->role())) {
        ++seen;
        if (i->text(QAccessible::Name).trimmed().isEmpty()) out << describe(i);
    }
    QSet<QString> names;
    for (int c = 0; c < i->childCount(); ++c) {
        QAccessibleInterface* child = i->child(c);
        if (child && interactive(child->role()) && child->role() != QAccessible::PageTab) {
            const QString key = QString::number(int(child->role())) + child->text(QAccessible::Name) +
                                child->text(QAccessible::Description);
            if (names.contains(key)) out << describe(child) + " named as its neighbour: " + child->text(QAccessible::Name);
            names.insert(key);
        }
        seen += unnamedUnder(child, out, depth + 1);
    }
    return seen;
}

// The nearest frame around a widget (its group on the screen), or its window.
QWidget* group(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<QGroupBox*>(p) || p->isWindow()) return p;
    return nullptr;
}

bool takesTab(QWidget* w) {
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

}  // namespace

class GuiDesktopTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    GuiSession s;

    Paths paths() { return q7mtest::pathsIn(sim->dir()); }

    // The focus walked with Tab from where it is, once round the window:
    // every stop in order.
    QList<QWidget*> tabCycle(QWidget* window) {
        QList<QWidget*> stops;
        for (int i = 0; i < 400; ++i) {
            QWidget* f = QApplication::focusWidget();
            if (f && !stops.isEmpty() && f == stops.first()) break;
            if (f && f->window() == window) stops << f;
            if (!GuiSession::key(Qt::Key_Tab)) break;
        }
        return stops;
    }

    // Tab reaches every control of `area` that takes the focus, and leaves
    // each frame only once it is done with it.
    void checkTabOrder(QWidget* window, QWidget* area, const QString& what) {
        s.activate(window);
        const QList<QWidget*> stops = tabCycle(window);
        QStringList missed;
        for (QWidget* w : area->findChildren<QWidget*>())
            if (takesTab(w) && !stops.contains(w)) missed << w->objectName() + "/" + w->metaObject()->className();
        QVERIFY2(missed.isEmpty(), qPrintable(what + ": not reached by Tab: " + missed.join(", ")));
        QList<QWidget*> left;
        QWidget* current = nullptr;
        for (QWidget* w : stops) {
            if (!area->isAncestorOf(w)) continue;
            QWidget* g = group(w);
            if (!qobject_cast<QGroupBox*>(g)) continue;  // not framed
            if (g == current) continue;
            QVERIFY2(!left.contains(g), qPrintable(what + ": Tab comes back into " + g->objectName() + " at " +
                                                   w->objectName()));
            if (current) left << current;
            current = g;
        }
    }

private slots:
    void init() {
        sim = std::make_unique<q7mtest::SimProcess>();
        s.boxes.shown.clear();
        s.files.paths.clear();
        QVERIFY(s.start(paths()));
        QVERIFY(s.ed().vals.OnLine);
    }
    void cleanup() {
        s.stop();
        sim.reset();
    }

    void everyControlAndPictureIsNamed() {
        QStringList unnamed;
        int seen = 0;
        for (int tab = 0; tab < 8; ++tab) {
            QVERIFY(s.clickTab(tab));
            seen += unnamedUnder(QAccessible::queryAccessibleInterface(&s.win()), unnamed);
        }
        // The other windows (dialogs, the site window), shown or not, and
        // the menus' items.
        for (QWidget* w : s.win().findChildren<QWidget*>())
            if (w->isWindow() && !qobject_cast<QMenu*>(w))
                seen += unnamedUnder(QAccessible::queryAccessibleInterface(w), unnamed);
        QVERIFY2(seen > 800, qPrintable(QString::number(seen)));  // the walk reached the controls
        std::function<void(const QList<QAction*>&)> menuItems = [&](const QList<QAction*>& actions) {
            for (QAction* a : actions) {
                if (!a->isSeparator() && a->text().isEmpty()) unnamed << "menu item " + a->objectName();
                if (a->menu()) menuItems(a->menu()->actions());
            }
        };
        menuItems(s.win().menuBar()->actions());
        unnamed.removeDuplicates();
        QVERIFY2(unnamed.isEmpty(), qPrintable("without a name: " + unnamed.join("\n  ")));

        // Names say what a control sets, in its unit; a state button says
        // its state; the pictures say what they show.
        QCOMPARE(s.child<QSlider>(&s.win(), "sclPNG(0)")->accessibleName(), QString("Left trim, dB"));
        QCOMPARE(s.child<QSlider>(&s.win(), "sclA(14)")->accessibleName(), QString("1k Hz, dB"));
        QCOMPARE(s.child<QLineEdit>(&s.win(), "lblOBE")->accessibleName(), QString("OBE Gain, dB"));
        auto* pink = s.child<QPushButton>(s.win().tabs(), "cmdPN(4)");
        QCOMPARE(pink->accessibleName(), QString("Right pink noise: Off"));
        QVERIFY(s.clickTab(1));
        s.click(pink);
        QTRY_COMPARE(pink->accessibleName(), QString("Right pink noise: On"));
        for (const char* picture : {"OptGraph", "optAzi"})
            QVERIFY(!s.child<PictureWidget>(&s.win(), picture)->accessibleName().isEmpty());
        // The readout is text a screen reader reads, and reachable.
        auto* readout = s.child<QLabel>(&s.win(), "lblReadout");
        QCOMPARE(QAccessible::queryAccessibleInterface(readout)->role(), QAccessible::StaticText);
        QVERIFY(readout->focusPolicy() & Qt::TabFocus);
    }

    void tabOrderFollowsTheLayout() {
        for (int tab = 0; tab < 8; ++tab) {
            QVERIFY(s.clickTab(tab));
            checkTabOrder(&s.win(), s.win().tabs()->currentWidget(), "tab " + QString::number(tab));
        }
        auto dialog = [this](const char* name) { return s.child<QDialog>(&s.win(), name); };
        QVERIFY(s.choose({"mnuOptions", "mnuSet"}));
        QTRY_VERIFY(dialog("frmTheater")->isVisible());
        checkTabOrder(dialog("frmTheater"), dialog("frmTheater"), "theater dialog");
        GuiSession::key(Qt::Key_Escape);
        QTRY_VERIFY(!dialog("frmTheater")->isVisible());
        QVERIFY(s.choose({"mnuOptions", "mnuAutoRef"}));
        QTRY_VERIFY(dialog("frmRef")->isVisible());
        checkTabOrder(dialog("frmRef"), dialog("frmRef"), "automatic update dialog");
        GuiSession::key(Qt::Key_Escape);
        QTRY_VERIFY(!dialog("frmRef")->isVisible());
        QVERIFY(s.clickTab(1));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdAdjust(0)"));
        QTRY_VERIFY(dialog("frmFader")->isVisible());
        checkTabOrder(dialog("frmFader"), dialog("frmFader"), "fader dialog");
#ifdef Q7M_SUPPORT_BUNDLE
        s.click(s.child<QPushButton>(dialog("frmFader"), "cmdClose"));
        QVERIFY(s.choose({"mnuHelp", "mnuSupport"}));
        QTRY_VERIFY(dialog("frmSupport")->isVisible());
        checkTabOrder(dialog("frmSupport"), dialog("frmSupport"), "support bundle dialog");
#endif
    }

    // No mouse from here on: the keyboard connects, changes a trim,
    // uploads and saves.
    void keyboardAloneConnectsTrimsUploadsAndSaves() {
        s.activate(&s.win());
        QVERIFY(GuiSession::tabTo("cmdDisconnect"));
        GuiSession::key(Qt::Key_Space);
        QTRY_VERIFY(!s.ed().vals.OnLine);
        QVERIFY(GuiSession::tabTo("cmdConnect"));
        GuiSession::key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(s.ed().vals.OnLine, 10000);

        // The progress dialog came and went: a window manager gives the
        // main window back its activation (the off-screen platform does not).
        s.activate(&s.win());
        GuiSession::key(Qt::Key_O, Qt::AltModifier);  // Output Trim
        QCOMPARE(s.win().tabs()->currentIndex(), 1);
        QVERIFY(GuiSession::tabTo("sclPNG(0)"));
        GuiSession::key(Qt::Key_Up);
        const QString trim = s.child<QLineEdit>(s.win().tabs(), "lblPNG(0)")->text();
        QVERIFY2(trim != "0.0", qPrintable(trim));

        sim->clearLog();
        QVERIFY(GuiSession::tabTo("cmdUp(1)"));
        GuiSession::key(Qt::Key_Space);
        QVERIFY(sim->waitForLog("STORED audio block"));

        const std::string path = sim->dir() + "/by-keys.zcf";
        s.files.paths.push_back(path);
        GuiSession::key(Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction* saveAs = s.child<QAction>(&s.win(), "mnuSaveAs");
        for (int i = 0; i < 12 && menu->activeAction() != saveAs; ++i) GuiSession::key(Qt::Key_Down);
        QCOMPARE(menu->activeAction(), saveAs);
        GuiSession::key(Qt::Key_Return);
        QTRY_VERIFY(QFile::exists(QString::fromStdString(path)));
        ConfigData d;
        QCOMPARE(int(ReadConfigFile(path, d)), int(ReadResult::Ok));
        QCOMPARE(d.audioBlock.trimLevel(0), s.ed().vals.audioBlock.trimLevel(0));
        QVERIFY(d.audioBlock.trimLevel(0) != 12);  // not the 0.0 dB it started at
    }

    void picturesAndEqualiserGrowWithTheWindow() {
        QCOMPARE(s.win().minimumSize(), QSize(940, 660));
        QVERIFY(s.clickTab(2));
        auto* band = s.child<QSlider>(&s.win(), "sclA(0)");
        const int bandBefore = band->height();
        QVERIFY(s.clickTab(4));
        auto* graph = s.child<PictureWidget>(&s.win(), "OptGraph");
        // The picture is drawn as large as it shows, in device pixels.
        auto shownScale = [graph] {
            return std::min(graph->width() / 305.0, graph->height() / 285.0) * graph->devicePixelRatioF();
        };
        QTRY_VERIFY(std::abs(graph->scale() - shownScale()) < 0.01);
        const int widthBefore = graph->width();
        s.win().resize(1600, 1000);
        QTRY_COMPARE(s.win().size(), QSize(1600, 1000));
        QTRY_VERIFY2(graph->width() > widthBefore * 1.3, qPrintable(QString::number(graph->width())));
        QTRY_VERIFY(std::abs(graph->scale() - shownScale()) < 0.01);
        QVERIFY(s.clickTab(2));
        QTRY_VERIFY2(band->height() > bandBefore + 150, qPrintable(QString::number(band->height())));
        s.win().grab().save(QString(GUI_ARTEFACT_DIR) + "/large-window-eq.png");
    }

    void windowsComeBackWhereTheyWere() {
        s.win().move(120, 90);
        s.win().resize(1200, 800);
        QVERIFY(s.clickTab(1));
        auto* fader = s.child<QDialog>(&s.win(), "frmFader");
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdAdjust(0)"));
        QTRY_VERIFY(fader->isVisible());
        fader->move(1400, 200);
        s.click(s.child<QPushButton>(fader, "cmdClose"));
        QTRY_VERIFY(!fader->isVisible());
        QVERIFY(s.clickTab(4));
        s.win().close();
        QTRY_VERIFY(!s.win().isVisible());
        s.stop();

        QVERIFY(s.start(paths()));
        QCOMPARE(s.win().pos(), QPoint(120, 90));
        QCOMPARE(s.win().size(), QSize(1200, 800));
        QTRY_COMPARE(s.win().tabs()->currentIndex(), 4);
        QVERIFY(s.clickTab(1));
        fader = s.child<QDialog>(&s.win(), "frmFader");
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdAdjust(0)"));
        QTRY_VERIFY(fader->isVisible());
        QCOMPARE(fader->pos(), QPoint(1400, 200));
    }

    // A place kept on a screen that is no longer there (or was larger)
    // comes back onto today's screen, no larger than it.
    void aPlaceOffTheScreenIsBroughtBack() {
        s.stop();
        {
            QSettings ini(QString::fromStdString(paths().dataDir + "/windows.ini"), QSettings::IniFormat);
            ini.setValue("frmMain/x", 2500);
            ini.setValue("frmMain/y", 1500);
            ini.setValue("frmMain/width", 2400);
            ini.setValue("frmMain/height", 1300);
        }
        QVERIFY(s.start(paths()));
        const QRect screen = s.win().screen()->availableGeometry();
        QVERIFY2(screen.contains(QRect(s.win().pos(), s.win().size())),
                 qPrintable(QString("%1,%2 %3x%4").arg(s.win().x()).arg(s.win().y()).arg(s.win().width())
                                .arg(s.win().height())));
        QCOMPARE(s.win().size(), screen.size());
    }
};

QTEST_MAIN(GuiDesktopTest)
#include "test_gui_desktop.moc"
