#include <QCheckBox>
#include <algorithm>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "app/editor.h"
#include "ui/bind.h"
#include "form/captions.h"
#include "ui/tabs.h"
#include "ui/widgets.h"
#include "ui/window_places.h"
#include "ui/windows.h"

namespace zelk {

void BoundDialog::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (onClose_) onClose_();
}

void BoundDialog::reject() {
    if (onEscape_) onEscape_();
    else if (onClose_) onClose_();
}

namespace {
// The window follows its form control: shown, hidden, titled, enabled.
void bindWindow(Label& form, QWidget* w) {
    if (!form.caption().empty()) w->setWindowTitle(QString::fromStdString(form.caption()));
    w->setVisible(form.visible());
    form.observe([w](Control& c, Prop p) {
        if (p == Prop::Visible) {
            if (c.visible()) {
                w->show();
                w->raise();
                w->activateWindow();
            } else {
                w->hide();
            }
        }
        if (p == Prop::Caption) w->setWindowTitle(QString::fromStdString(c.caption()));
        if (p == Prop::Enabled) w->setEnabled(c.enabled());
        if (p == Prop::Position) w->move(c.left(), c.top());
    });
}
}  // namespace

QWidget* buildSplash(Editor& ed) {
    auto& s = ed.splash;
    auto* w = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
    w->setObjectName("frmSplash");
    auto* v = new QVBoxLayout(w);
    auto* logo = new QLabel(QStringLiteral("ZELK"));
    logo->setAlignment(Qt::AlignCenter);
    logo->setStyleSheet("font: bold 40pt; color: rgb(0,40,120);");
    v->addWidget(logo);
    auto* title = new QLabel(QString::fromStdString(kAppTitle));
    title->setAlignment(Qt::AlignCenter);
    v->addWidget(title);
    auto* l = new QLabel;
    bind(s.Label1, l);
    l->setAlignment(Qt::AlignCenter);
    v->addWidget(l);
    w->resize(420, 220);
    w->setStyleSheet("QWidget#frmSplash { background: white; border: 2px solid rgb(0,40,120); }");
    bindWindow(s.form, w);
    auto* t = new QTimer(w);
    bind(s.Timer1, t);
    return w;
}

QDialog* buildProgressDialog(Editor& ed, QWidget* parent) {
    auto& p = ed.prog;
    // Closing it and Escape are its Cancel.
    auto* d = new BoundDialog(parent, [&p] { p.cmdCan.click(); });
    d->setObjectName("frmProg");
    d->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    d->setModal(false);
    auto* v = new QVBoxLayout(d);
    auto* cap = new QLabel;
    bind(p.lblCap, cap);
    v->addWidget(cap);
    auto* bar = new QProgressBar;
    bind(p.pb, bar);
    describe(bar, QCoreApplication::translate("Accessible", "Connecting progress"));
    v->addWidget(bar);
    auto* cancel = new QPushButton;
    bind(p.cmdCan, cancel);
    v->addWidget(cancel, 0, Qt::AlignRight);
    d->resize(340, 120);
    bindWindow(p.form, d);
    return d;
}

QDialog* buildTheaterDialog(Editor& ed, QWidget* parent) {
    auto& t = ed.theater;
    auto* d = new BoundDialog(parent, [&t] { t.cmdCan.click(); });
    d->setObjectName("frmTheater");
    auto* g = new QGridLayout(d);
    const int row = layoutTheaterFields(g, t.lblTheater, t.txtTheaterInfo, false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton;
    bind(t.cmdOK, ok);
    ok->setDefault(true);
    auto* can = new QPushButton;
    bind(t.cmdCan, can);
    buttons->addWidget(ok);
    buttons->addWidget(can);
    g->addLayout(buttons, row, 0, 1, 4);
    d->resize(560, 420);
    bindWindow(t.form, d);
    return d;
}

QDialog* buildRefreshDialog(Editor& ed, QWidget* parent) {
    auto& r = ed.ref;
    auto* d = new BoundDialog(parent, [&ed] { ed.polling.frmRef_Unload(); }, [&ed] { ed.polling.frmRef_Cancel(); });
    d->setObjectName("frmRef");
    auto* v = new QVBoxLayout(d);
    auto* chk = new QCheckBox;
    bind(r.chkRef, chk);
    v->addWidget(chk);
    auto* row = new QHBoxLayout;
    auto* every = new QLabel;
    bind(r.Label2, every);
    row->addWidget(every);
    auto* txt = new QLineEdit;
    txt->setFixedWidth(60);
    bind(r.txtRef, txt);
    every->setBuddy(txt);
    // "Update every, seconds": what the field sets and its unit, the label after it.
    txt->setAccessibleName(accessibleText(QCoreApplication::translate("Accessible", "Update every")) +
                           QStringLiteral(", ") + accessibleText(r.Label1.caption()));
    row->addWidget(txt);
    auto* secs = new QLabel;
    bind(r.Label1, secs);
    row->addWidget(secs);
    row->addStretch();
    v->addLayout(row);
    auto* ok = new QPushButton;
    bind(r.Command1, ok);
    ok->setDefault(true);
    v->addWidget(ok, 0, Qt::AlignRight);
    bindWindow(r.form, d);
    return d;
}

// Beside the main window, clear of the controls the fader adjusts: to its
// right, or to its left when the screen ends there.
static void placeBeside(QWidget* d, QWidget* main) {
    if (!main) return;
    const QRect m = main->frameGeometry();
    const QScreen* screen = main->screen();
    const QRect avail = screen ? screen->availableGeometry() : QRect();
    const int gap = 8;
    int x = m.right() + gap;
    const int width = d->frameGeometry().width();
    if (!avail.isEmpty() && x + width > avail.right()) {
        x = m.left() - gap - width;
        if (x < avail.left()) x = avail.right() - width;
    }
    d->move(x, m.top());
}

QDialog* buildFaderDialog(Editor& ed, QWidget* parent, WindowPlaces* places) {
    auto& f = ed.fader;
    auto* d = new BoundDialog(parent, [&ed] { ed.levels.frmFader_Unload(); });
    d->setObjectName("frmFader");
    d->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    auto* v = new QVBoxLayout(d);
    auto* field = new QLineEdit;
    field->setAlignment(Qt::AlignCenter);
    bind(f.lblVol, field);
    describe(field, QCoreApplication::translate("Accessible", "Fader level"));
    v->addWidget(field);
    auto* row = new QHBoxLayout;
    auto* s = new QSlider(Qt::Vertical);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksLeft);
    s->setTickInterval(10);
    bind(f.sclVol, s);
    describe(s, QCoreApplication::translate("Accessible", "Fader"));
    row->addWidget(s, 0, Qt::AlignHCenter);
    row->addWidget(scale(kFaderScale, Qt::Vertical));
    v->addLayout(row, 1);
    auto* close = new QPushButton;
    close->setAutoDefault(false);
    bind(f.cmdClose, close);
    v->addWidget(close);
    // 1080 twips, or as wide as its Close button needs (longer in German).
    const QMargins m = v->contentsMargins();
    const int width = std::max(72, close->sizeHint().width() + m.left() + m.right());
    d->setFixedWidth(width);
    d->resize(width, 340);
    QPointer<QWidget> main(parent);
    f.form.observe([d, main, places](Control& c, Prop p) {
        if (p == Prop::Visible && c.visible() && !d->isVisible() && !(places && places->restore(d)))
            placeBeside(d, main);
    });
    bindWindow(f.form, d);
    return d;
}

}  // namespace zelk
