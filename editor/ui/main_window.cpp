#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QPointer>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "app/editor.h"
#include "ui/bind.h"
#include "ui/qt_link_runner.h"
#include "ui/tabs.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace zelk {

MainWindow::MainWindow(Editor& ed) : ed_(ed) {
    auto& m = ed.main;
    setObjectName("frmMain");
    // The title is the window's caption; "[*]" is where the platform marks
    // unsaved changes.
    auto showTitle = [this](const std::string& caption) {
        setWindowTitle(QString::fromStdString(caption) + QStringLiteral("[*]"));
    };
    showTitle(m.bar.form.caption());
    QPointer<MainWindow> alive(this);
    m.bar.form.observe([alive, showTitle](Control& c, Prop p) {
        if (!alive) return;
        if (p == Prop::Caption) showTitle(c.caption());
        if (p == Prop::Enabled) alive->enableInput(c.enabled());
    });
    setWindowModified(ed.document.dirty());
    ed.document.onDirtyChanged([alive](bool dirty) {
        if (alive) alive->setWindowModified(dirty);
    });
    buildMenus();

    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    top->addWidget(button(m.bar.cmdConnect));
    top->addWidget(button(m.bar.cmdDisconnect));
    QLabel* stat = label(m.bar.lblStat);
    stat->setMinimumWidth(90);
    stat->setAlignment(Qt::AlignCenter);
    stat->setFrameShape(QFrame::Panel);
    stat->setFrameShadow(QFrame::Sunken);
    stat->setAccessibleDescription(QCoreApplication::translate("Accessible", "Connection status"));
    top->addWidget(stat);
    top->addStretch();
    v->addLayout(top);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("SSTAB1");
    QWidget* pages[8] = {buildFormatTab(m.format),   buildTrimTab(m.trim),       buildEqTab(m.eq),
                         buildObeTab(m.obe),         buildOpticalTab(m.optical), buildOptionsTab(m.options),
                         buildTheaterTab(m.theater), buildHelpTab(m.help)};
    for (int i = 0; i < 8; ++i) {
        auto* page = new QWidget;
        auto* pl = new QVBoxLayout(page);
        pl->setContentsMargins(0, 0, 0, 0);
        pl->addWidget(pages[i]);
        bind(m.bar.frmtabs[i], page);
        tabs_->addTab(page, QString::fromStdString(m.bar.tabCaptions[i]));
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) { ed_.tabs.selectTab(i); });
    v->addWidget(tabs_);
    setCentralWidget(central);
    enableInput(m.bar.form.enabled());

    // What the last upload, verify or connection said, in the status bar.
    statusBar()->setObjectName("staStatus");
    m.bar.staStatus.observe([alive](Control& c, Prop p) {
        if (alive && p == Prop::Caption) alive->statusBar()->showMessage(QString::fromStdString(c.caption()));
    });

    // Hidden reference button: its colour is the neutral button colour.
    auto* ref = button(m.bar.cmdtest, central);
    ref->hide();

    for (Timer* t : {&m.bar.tmrPoll, &m.bar.tmrRefresh, &m.optical.Timer2, &m.bar.tmrClock, &m.optical.tmrOptical}) {
        auto* qt = new QTimer(this);
        qt->setObjectName(QString::fromStdString(t->name()));
        bind(*t, qt);
    }
    qApp->installEventFilter(this);
}

void MainWindow::buildMenus() {
    auto& m = ed_.main.bar;
    auto action = [this](Button& c, QMenu* menu) {
        auto* a = menu->addAction(QString());
        a->setParent(this);
        bind(c, a);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QCoreApplication::translate("Captions", "&File"));
    file->setObjectName("mnuFile");
    action(m.mnuNew, file);
    action(m.mnuLoad, file);
    action(m.mnuSave, file);
    action(m.mnuSaveAs, file);
    file->addSeparator();
    action(m.mnuCompare, file);
    action(m.mnuApply, file);
    action(m.mnuAsFound, file);
    action(m.mnuHistory, file);
    action(m.mnuReport, file);
    file->addSeparator();
    action(m.mnuSite, file);
    file->addSeparator();
    action(m.mnuRef, file);
    file->addSeparator();
    action(m.mnuend, file);

    // The tabs own Alt+S, O, E, B, P, T, I and H; the menus take other keys.
    QMenu* opts = menuBar()->addMenu(QCoreApplication::translate("Captions", "Optio&ns"));
    opts->setObjectName("mnuOptions");
    QMenu* upload = opts->addMenu(QCoreApplication::translate("Captions", "Upload Options"));
    upload->setObjectName("mnuUploadOptions");
    for (Button* b : {&m.mnuAuto, &m.mnuConfirm, &m.mnuShort, &m.mnuShowDiff, &m.mnuAskReason}) action(*b, upload)->setCheckable(true);
    action(m.mnuAutoRef, opts)->setCheckable(true);
    opts->addSeparator();
    action(m.mnuSet, opts);
    action(m.mnuSys, opts);
    opts->addSeparator();
    QMenu* com = opts->addMenu(QString::fromStdString(m.mnuCom.caption()));
    com->setObjectName("mnuCom");
    for (auto& b : m.mnuComN) action(b, com)->setCheckable(true);
    QMenu* baud = opts->addMenu(QString::fromStdString(m.mnuBaud.caption()));
    baud->setObjectName("mnuBaud");
    for (auto& b : m.mnuBaudN) action(b, baud)->setCheckable(true);
    m.mnuBaud.observe([baud](Control& c, Prop p) {
        if (p == Prop::Enabled) baud->setEnabled(c.enabled());
    });
}

// The logic disables the main form while a dialog of its own is up.  The
// dialogs are children of this window, so the window itself stays enabled
// (a disabled parent would disable them too): its contents and menus are
// what take no input.
void MainWindow::enableInput(bool enable) {
    if (centralWidget()) centralWidget()->setEnabled(enable);
    menuBar()->setEnabled(enable);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (closing_ || ed_.lifecycle.ended()) {
        e->accept();
        return;
    }
    // A close asked for while the unit is being talked to cancels that
    // exchange (the link ends off line, nothing reported), then runs the
    // shut-down sequence.
    if (runner_ && runner_->busy()) {
        e->ignore();
        runner_->requestCancel();
        runner_->whenIdle(this, [this] { close(); });
        return;
    }
    if (!ed_.lifecycle.Form_Unload()) {
        e->ignore();
        return;
    }
    closing_ = true;
    e->accept();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

bool MainWindow::eventFilter(QObject* o, QEvent* e) {
    // Every key reaches Form_KeyDown once, whichever control has the focus:
    // it is taken where it is first delivered, the focus widget.
    if (e->type() == QEvent::KeyPress && o->isWidgetType() && static_cast<QWidget*>(o)->window() == this) {
        QWidget* focus = QApplication::focusWidget();
        if (o == focus || (!focus && o == this)) {
            auto* k = static_cast<QKeyEvent*>(e);
            ed_.tabs.Form_KeyDown(vbKeyCode(k->key(), k->modifiers() & Qt::KeypadModifier), vbShift(k->modifiers()));
        }
    }
    return QMainWindow::eventFilter(o, e);
}

}  // namespace zelk
