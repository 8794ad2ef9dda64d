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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "bind.h"
#include "editor.h"
#include "rtf_reader.h"
#include "windows.h"

namespace zelk {

namespace {

QPushButton* button(Button& c, QWidget* parent = nullptr) {
    auto* w = new QPushButton(parent);
    bind(c, w);
    return w;
}

QLabel* label(Label& c, QWidget* parent = nullptr) {
    auto* w = new QLabel(parent);
    bind(c, w);
    return w;
}

QLabel* text(const QString& t) { return new QLabel(t); }

QLineEdit* field(TextBox& c, int width = 44) {
    auto* w = new QLineEdit;
    w->setFixedWidth(width);
    w->setAlignment(Qt::AlignCenter);
    bind(c, w);
    return w;
}

QSlider* slider(Slider& c, Qt::Orientation o, int length) {
    auto* w = new QSlider(o);
    if (o == Qt::Vertical) w->setFixedHeight(length);
    else w->setFixedWidth(length);
    w->setTickPosition(o == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    w->setTickInterval(c.max() > 30 ? 10 : 2);
    w->setPageStep(1);
    bind(c, w);
    return w;
}

QGroupBox* frame(Frame& c) {
    auto* g = new QGroupBox;
    bind(c, g);
    return g;
}

QGroupBox* plainFrame(const QString& title) { return new QGroupBox(title); }

QComboBox* combo(ComboBox& c) {
    auto* w = new QComboBox;
    w->setMaxVisibleItems(16);
    bind(c, w);
    return w;
}

QRadioButton* option(OptionButton& c) {
    auto* w = new QRadioButton;
    bind(c, w);
    return w;
}

// Screen order of the channels: Left, Center, Right, LS, RS, Sub.
constexpr int kScreenOrder[6] = {0, 2, 4, 1, 3, 5};
const char* const kScreenNames[6] = {"Left", "Center", "Right", "LS", "RS", "Sub"};

}  // namespace

MainWindow::MainWindow(Editor& ed) : ed_(ed) {
    auto& m = ed.main;
    bind(m.form, static_cast<QWidget*>(this));
    setWindowTitle(QString::fromStdString(m.form.caption()));
    m.form.observe([this](Control& c, Prop p) {
        if (p == Prop::Caption) setWindowTitle(QString::fromStdString(c.caption()));
    });
    setObjectName("frmMain");
    buildMenus();

    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    top->addWidget(button(m.cmdConnect));
    QLabel* stat = label(m.lblStat);
    stat->setMinimumWidth(90);
    stat->setAlignment(Qt::AlignCenter);
    stat->setFrameShape(QFrame::Panel);
    stat->setFrameShadow(QFrame::Sunken);
    top->addWidget(stat);
    top->addStretch();
    v->addLayout(top);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("SSTAB1");
    QWidget* pages[8] = {buildFormatTab(), buildTrimTab(),    buildEqTab(),      buildObeTab(),
                         buildOpticalTab(), buildOptionsTab(), buildTheaterTab(), buildHelpTab()};
    for (int i = 0; i < 8; ++i) {
        auto* page = new QWidget;
        auto* pl = new QVBoxLayout(page);
        pl->setContentsMargins(0, 0, 0, 0);
        pl->addWidget(pages[i]);
        bind(m.frmtabs[i], page);
        tabs_->addTab(page, QString::fromStdString(m.tabCaptions[i]));
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) { ed_.tabs.selectTab(i); });
    v->addWidget(tabs_);
    setCentralWidget(central);

    // Hidden reference button: its colour is the neutral button colour.
    auto* ref = button(m.cmdtest, central);
    ref->hide();

    for (Timer* t : {&m.tmrPoll, &m.tmrRefresh, &m.Timer2, &m.tmrClock, &m.tmrOptical}) {
        auto* qt = new QTimer(this);
        qt->setObjectName(QString::fromStdString(t->name()));
        bind(*t, qt);
    }
    qApp->installEventFilter(this);
}

void MainWindow::buildMenus() {
    auto& m = ed_.main;
    auto action = [this](Button& c, QMenu* menu) {
        auto* a = menu->addAction(QString());
        a->setParent(this);
        bind(c, a);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    action(m.mnuNew, file);
    action(m.mnuLoad, file);
    action(m.mnuSave, file);
    action(m.mnuSaveAs, file);
    file->addSeparator();
    action(m.mnuRef, file);
    file->addSeparator();
    action(m.mnuend, file);

    QMenu* opts = menuBar()->addMenu(QStringLiteral("&Options"));
    QMenu* upload = opts->addMenu(QStringLiteral("Upload Options"));
    for (Button* b : {&m.mnuAuto, &m.mnuConfirm, &m.mnuShort}) action(*b, upload)->setCheckable(true);
    action(m.mnuAutoRef, opts)->setCheckable(true);
    opts->addSeparator();
    action(m.mnuSet, opts);
    action(m.mnuSys, opts);
    opts->addSeparator();
    QMenu* com = opts->addMenu(QString::fromStdString(m.mnuCom.caption()));
    for (auto& b : m.mnuComN) action(b, com)->setCheckable(true);
    QMenu* baud = opts->addMenu(QString::fromStdString(m.mnuBaud.caption()));
    baud->setObjectName("mnuBaud");
    for (auto& b : m.mnuBaudN) action(b, baud)->setCheckable(true);
    m.mnuBaud.observe([baud](Control& c, Prop p) {
        if (p == Prop::Enabled) baud->setEnabled(c.enabled());
    });
}

QWidget* MainWindow::faderGroup(int index) {
    auto& m = ed_.main;
    auto* g = frame(m.Frame8[index]);
    auto* l = new QGridLayout(g);
    l->addWidget(text(QStringLiteral(" Fader")), 0, 0);
    l->addWidget(field(m.lblVol[index + 1], 48), 0, 1);
    Button* mutes[3] = {&m.cmdMute2, &m.cmdMute3, &m.cmdMute5};
    l->addWidget(button(*mutes[index]), 0, 2);
    l->addWidget(button(m.cmdSet7[index]), 1, 0, 1, 2);
    l->addWidget(button(m.cmdAdjust[index]), 1, 2);
    g->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return g;
}

QWidget* MainWindow::buildFormatTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* mode = frame(m.Frame1[3]);
    auto* ml = new QVBoxLayout(mode);
    for (auto& b : m.cmdMode) {
        auto* w = button(b);
        w->setMinimumHeight(40);
        w->setMinimumWidth(170);
        ml->addWidget(w);
    }
    ml->addStretch();
    h->addWidget(mode);

    auto* fader = frame(m.Frame1[1]);
    auto* fl = new QVBoxLayout(fader);
    fl->addWidget(field(m.lblVol[0], 52), 0, Qt::AlignHCenter);
    auto* vol = slider(m.sclVol, Qt::Vertical, 260);
    vol->setMinimumHeight(200);
    vol->setMaximumHeight(QWIDGETSIZE_MAX);
    fl->addWidget(vol, 1, Qt::AlignHCenter);
    fl->addWidget(text(QStringLiteral(" Fader")), 0, Qt::AlignHCenter);
    fl->addWidget(button(m.cmdMute));
    h->addWidget(fader);

    auto* right = new QVBoxLayout;
    auto* logo = new QLabel(QStringLiteral("ZELK"));
    logo->setObjectName("logo");
    logo->setAlignment(Qt::AlignCenter);
    logo->setStyleSheet("QLabel#logo { font: bold 36pt; color: rgb(0,40,120); }");
    right->addWidget(logo);
    auto* sub = new QLabel(QStringLiteral("Cinema Processor and EQ Software"));
    sub->setAlignment(Qt::AlignCenter);
    right->addWidget(sub);
    auto* clock = label(m.lblClock);
    clock->setAlignment(Qt::AlignCenter);
    QFont cf = clock->font();
    cf.setPointSize(cf.pointSize() + 6);
    clock->setFont(cf);
    right->addWidget(clock);
    auto* info = frame(m.Frame1[21]);
    auto* il = new QVBoxLayout(info);
    for (auto& l : m.lnlInfo) il->addWidget(label(l));
    right->addWidget(info);
    right->addStretch();
    right->addWidget(button(m.cmdUp[0]));
    h->addLayout(right, 1);
    return page;
}

QWidget* MainWindow::buildTrimTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);

    auto* trim = plainFrame(QStringLiteral("Trim Level"));
    auto* tl = new QGridLayout(trim);
    for (int col = 0; col < 6; ++col) {
        const int ch = kScreenOrder[col];
        tl->addWidget(text(kScreenNames[col]), 0, col, Qt::AlignHCenter);
        tl->addWidget(slider(m.sclPNG[ch], Qt::Vertical, 170), 1, col, Qt::AlignHCenter);
        tl->addWidget(field(m.lblPNG[ch]), 2, col, Qt::AlignHCenter);
    }
    tl->addWidget(button(m.cmdReset), 3, 0, 1, 6, Qt::AlignHCenter);
    g->addWidget(trim, 0, 0, 2, 1);

    auto* pink = frame(m.Frame1[13]);
    auto* pl = new QGridLayout(pink);
    pl->addWidget(text(QStringLiteral("Pink Noise:")), 1, 0);
    pl->addWidget(text(QStringLiteral("Phase:")), 2, 0);
    for (int col = 0; col < 6; ++col) {
        const int ch = kScreenOrder[col];
        pl->addWidget(text(kScreenNames[col]), 0, col + 1, Qt::AlignHCenter);
        pl->addWidget(button(m.cmdPN[ch]), 1, col + 1);
        pl->addWidget(button(m.cmdPhase[ch]), 2, col + 1);
    }
    g->addWidget(pink, 2, 0);

    auto* rt = frame(m.Frame1[5]);
    auto* rl = new QVBoxLayout(rt);
    rl->addWidget(button(m.cmdRT60));
    g->addWidget(rt, 0, 1, Qt::AlignTop);
    g->addWidget(faderGroup(0), 1, 1, Qt::AlignTop);
    g->addWidget(button(m.cmdUp[1]), 2, 1, Qt::AlignBottom);
    g->setRowStretch(3, 1);
    return page;
}

QWidget* MainWindow::buildEqTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);

    auto* top = new QHBoxLayout;
    auto* chans = plainFrame(QStringLiteral("Channel"));
    auto* cl = new QHBoxLayout(chans);
    for (int ch : kScreenOrder) cl->addWidget(button(m.cmdEQChan[ch]));
    top->addWidget(chans);
    top->addWidget(button(m.cmdCopy));
    top->addWidget(button(m.cmdClear));
    top->addWidget(button(m.cmdPaste));
    top->addWidget(button(m.cmdPink));
    top->addStretch();
    outer->addLayout(top);

    auto* mid = new QHBoxLayout;
    auto* panes = new QWidget;
    auto* stack = new QVBoxLayout(panes);
    stack->setContentsMargins(0, 0, 0, 0);

    static const char* const wide[27] = {"40",  "50",  "63",  "80",  "100", "125", "160", "200", "250",
                                         "315", "400", "500", "630", "800", "1k",  "1.2k", "1.6k", "2k",
                                         "2.5k", "3.1k", "4k", "5k", "6.3k", "8k", "10k", "12k", "16k"};
    auto* a = frame(m.frmBandA);
    auto* al = new QGridLayout(a);
    al->setHorizontalSpacing(0);
    for (int b = 0; b < 27; ++b) {
        auto* f = text(wide[b]);
        QFont sf = f->font();
        sf.setPointSizeF(sf.pointSizeF() * 0.8);
        f->setFont(sf);
        al->addWidget(f, 0, b, Qt::AlignHCenter);
        al->addWidget(slider(m.sclA[b], Qt::Vertical, 150), 1, b, Qt::AlignHCenter);
        auto* e = field(m.lblBand[b], 27);
        e->setFont(sf);
        e->setTextMargins(0, 0, 0, 0);
        e->setStyleSheet("QLineEdit { padding: 0px; }");
        al->addWidget(e, 2, b, Qt::AlignHCenter);
    }
    stack->addWidget(a);

    static const char* const octave[9] = {"63", "125", "250", "500", "1k", "2k", "4k", "8k", "16k"};
    auto* bpane = frame(m.frmBandB);
    auto* bl = new QGridLayout(bpane);
    for (int b = 0; b < 9; ++b) {
        bl->addWidget(text(octave[b]), 0, b, Qt::AlignHCenter);
        bl->addWidget(slider(m.sclB[b], Qt::Vertical, 150), 1, b, Qt::AlignHCenter);
        bl->addWidget(field(m.lblLSRSv[b]), 2, b, Qt::AlignHCenter);
    }
    stack->addWidget(bpane);

    auto* sub = frame(m.frmBass);
    auto* sl = new QHBoxLayout(sub);
    auto* gain = new QVBoxLayout;
    gain->addWidget(text(QStringLiteral("Gain:")), 0, Qt::AlignHCenter);
    gain->addWidget(slider(m.sclGain, Qt::Vertical, 150), 0, Qt::AlignHCenter);
    gain->addWidget(field(m.lblGain), 0, Qt::AlignHCenter);
    sl->addLayout(gain);
    auto* bw = plainFrame(QStringLiteral("Bandwidth"));
    auto* bwl = new QVBoxLayout(bw);
    for (auto& o : m.optBand) bwl->addWidget(option(o));
    bwl->addStretch();
    sl->addWidget(bw);
    auto* fq = plainFrame(QStringLiteral("Frequency"));
    auto* fql = new QVBoxLayout(fq);
    for (auto& o : m.optSPB) fql->addWidget(option(o));
    sl->addWidget(fq);
    sl->addStretch();
    stack->addWidget(sub);
    mid->addWidget(panes, 1);

    auto* bt = frame(m.Frame1[8]);
    auto* btl = new QGridLayout(bt);
    btl->addWidget(text(QStringLiteral("Bass:")), 0, 0, Qt::AlignHCenter);
    btl->addWidget(text(QStringLiteral("Treble:")), 0, 1, Qt::AlignHCenter);
    btl->addWidget(slider(m.sclBass, Qt::Vertical, 150), 1, 0, Qt::AlignHCenter);
    btl->addWidget(slider(m.sclTreb, Qt::Vertical, 150), 1, 1, Qt::AlignHCenter);
    btl->addWidget(field(m.lblBass, 34), 2, 0, Qt::AlignHCenter);
    btl->addWidget(field(m.lblTreb, 34), 2, 1, Qt::AlignHCenter);
    mid->addWidget(bt);
    outer->addLayout(mid);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(faderGroup(1));
    bottom->addStretch();
    bottom->addWidget(button(m.cmdUp[2]), 0, Qt::AlignBottom);
    outer->addLayout(bottom);
    outer->addStretch();
    return page;
}

QWidget* MainWindow::buildObeTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* obe = plainFrame(QStringLiteral("OBE"));
    auto* g = new QGridLayout(obe);
    g->addWidget(button(m.cmdOBEEnable), 0, 0, 1, 3);
    g->addWidget(text(QStringLiteral("OBE Filter")), 1, 0);
    g->addWidget(combo(m.cboObeF), 1, 1);
    g->addWidget(text(QStringLiteral("OBE Gain:")), 2, 0);
    g->addWidget(slider(m.sclOBE, Qt::Horizontal, 240), 2, 1);
    g->addWidget(field(m.lblOBE), 2, 2);
    g->addWidget(text(QStringLiteral("Pink-Center:")), 3, 0);
    g->addWidget(button(m.cmdPNC), 3, 1);
    g->addWidget(text(QStringLiteral("Pink-Sub Bass:")), 4, 0);
    g->addWidget(button(m.cmdPNS), 4, 1);
    g->setRowStretch(5, 1);
    h->addWidget(obe, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(faderGroup(2));
    right->addStretch();
    right->addWidget(button(m.cmdUp[5]));
    h->addLayout(right);
    obe->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    h->setAlignment(obe, Qt::AlignTop);
    return page;
}

QWidget* MainWindow::buildOpticalTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* note = new QLabel(QStringLiteral(
        "Optical reader alignment (gain, slit loss and azimuth measurements) is not available in this version "
        "of the editor."));
    note->setWordWrap(true);
    note->setObjectName("opticalNote");
    v->addWidget(note);
    auto* row = new QHBoxLayout;
    row->addWidget(button(m.cmdMute4));
    row->addStretch();
    row->addWidget(button(m.cmdUp[3]));
    v->addStretch();
    v->addLayout(row);
    return page;
}

QWidget* MainWindow::buildOptionsTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* left = new QGridLayout;
    left->addWidget(text(QStringLiteral("Non-Sync Output Mode:")), 0, 0);
    left->addWidget(combo(m.cboNonsyncMode), 0, 1);
    left->addWidget(text(QStringLiteral("Non-Sync Trim:")), 1, 0);
    left->addWidget(combo(m.cboNonsyncTrim), 1, 1);
    left->addWidget(text(QStringLiteral("Timecode Reader Offset:")), 2, 0);
    left->addWidget(combo(m.cboReaderDelay), 2, 1);
    left->addWidget(text(QStringLiteral("Surround Delay:")), 3, 0);
    left->addWidget(combo(m.cboSurroundDelay), 3, 1);
    auto* chk = new QCheckBox;
    bind(m.chkDisableMatrix, chk);
    left->addWidget(chk, 4, 0, 1, 2);
    left->setRowStretch(5, 1);
    h->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* pof = plainFrame(QStringLiteral("Power On Format"));
    auto* pl = new QVBoxLayout(pof);
    for (auto& o : m.optDefaultFormat) pl->addWidget(option(o));
    right->addWidget(pof);
    auto* f1 = plainFrame(QStringLiteral("F1 (MONO) Format Key Assignment"));
    auto* f1l = new QVBoxLayout(f1);
    for (auto& o : m.optF1Key) f1l->addWidget(option(o));
    right->addWidget(f1);
    right->addStretch();
    right->addWidget(button(m.cmdUp[4]), 0, Qt::AlignRight);
    h->addLayout(right, 1);
    return page;
}

QWidget* MainWindow::buildTheaterTab() {
    auto& m = ed_.main;
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    const int row = layoutTheaterFields(g, m.txtTheaterInfo, true);
    g->addWidget(button(m.cmdEdit), row, 3, Qt::AlignRight);
    return page;
}

QWidget* MainWindow::buildHelpTab() {
    auto& m = ed_.main;
    help_ = new QTextBrowser;
    help_->setObjectName("RTFc");
    auto load = [this, &m] {
        readRtf(QByteArray::fromStdString(m.RTFc.text()), help_->document());
        help_->moveCursor(QTextCursor::Start);  // open at the top
    };
    load();
    m.RTFc.observe([load](Control&, Prop p) {
        if (p == Prop::Caption) load();
    });
    return help_;
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (closing_ || ed_.lifecycle.ended()) {
        e->accept();
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
