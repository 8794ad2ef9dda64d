// The "E.Q" tab: channel buttons, the 27-band, 9-band and sub-bass panes,
// bass and treble, and the fader group.  The panes' sliders grow with the
// window; their length at its smallest size is their minimum.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

namespace {

constexpr int kSliderLength = 150;

// A slider of a pane: named by what it sets, at least kSliderLength long.
QSlider* paneSlider(Slider& c, const QString& what) {
    QSlider* s = slider(c, Qt::Vertical, kSliderLength);
    s->setMinimumHeight(kSliderLength);
    s->setMaximumHeight(QWIDGETSIZE_MAX);
    s->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return describe(s, what, kUnitDb);
}

// The scale beside a pane's sliders, as tall as they are.
QWidget* paneScale(const ScaleMarks& marks) {
    QWidget* sc = scale(marks, Qt::Vertical);
    sc->setMinimumHeight(kSliderLength);
    sc->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    return sc;
}

// The first column of a band pane names the units and labels the scale;
// the sliders' row takes the height the pane gets.
void unitColumn(QGridLayout* g, const ScaleMarks& marks) {
    g->addWidget(unit(kUnitHz), 0, 0, Qt::AlignRight);
    g->addWidget(paneScale(marks), 1, 0);
    g->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    g->setRowStretch(1, 1);
}

// The channel buttons and the pane's commands.
QLayout* channelRow(EqTab& t) {
    auto* top = new QHBoxLayout;
    auto* chans = frame(t.frmChannel);
    auto* cl = new QHBoxLayout(chans);
    for (int ch : kScreenOrder) cl->addWidget(button(t.cmdEQChan[static_cast<std::size_t>(ch)]));
    top->addWidget(chans);
    top->addWidget(describe(button(t.cmdCopy), QString::fromStdString(t.cmdCopy.caption()), nullptr,
                            QCoreApplication::translate("Accessible", "Copies the shown channel's equaliser")));
    top->addWidget(describe(button(t.cmdClear), QString::fromStdString(t.cmdClear.caption()), nullptr,
                            QCoreApplication::translate("Accessible", "Sets the shown channel's equaliser flat")));
    top->addWidget(describe(button(t.cmdPaste), QString::fromStdString(t.cmdPaste.caption()), nullptr,
                            QCoreApplication::translate("Accessible", "Gives the shown channel the copied equaliser")));
    QPushButton* pink = button(t.cmdPink);
    nameWithCaption(t.cmdPink, pink, QCoreApplication::translate("Accessible", "Equaliser pink noise"));
    top->addWidget(pink);
    top->addStretch();
    return top;
}

// The 27-band pane of the screen channels.
QWidget* wideBandPane(EqTab& t) {
    auto* a = frame(t.frmBandA);
    auto* al = new QGridLayout(a);
    al->setHorizontalSpacing(0);
    unitColumn(al, kHalfDbScale);
    for (int b = 0; b < 27; ++b) {
        auto* f = label(t.lblBandHz[b]);
        QFont sf = f->font();
        sf.setPointSizeF(sf.pointSizeF() * 0.8);
        f->setFont(sf);
        const QString band = QString::fromStdString(t.lblBandHz[b].caption()) + " " + unitText(kUnitHz);
        al->addWidget(f, 0, b + 1, Qt::AlignHCenter);
        al->addWidget(paneSlider(t.sclA[b], band), 1, b + 1, Qt::AlignHCenter);
        auto* e = describe(field(t.lblBand[b], 27), band, kUnitDb);
        e->setFont(sf);
        e->setTextMargins(0, 0, 0, 0);
        e->setStyleSheet("QLineEdit { padding: 0px; }");
        al->addWidget(e, 2, b + 1, Qt::AlignHCenter);
    }
    return a;
}

// The 9-band pane of the surround channels.
QWidget* octavePane(EqTab& t) {
    auto* bpane = frame(t.frmBandB);
    auto* bl = new QGridLayout(bpane);
    unitColumn(bl, kHalfDbScale);
    for (int b = 0; b < 9; ++b) {
        const QString band = QString::fromStdString(t.lblOctaveHz[b].caption()) + " " + unitText(kUnitHz);
        bl->addWidget(label(t.lblOctaveHz[b]), 0, b + 1, Qt::AlignHCenter);
        bl->addWidget(paneSlider(t.sclB[b], band), 1, b + 1, Qt::AlignHCenter);
        bl->addWidget(describe(field(t.lblLSRSv[b]), band, kUnitDb), 2, b + 1, Qt::AlignHCenter);
    }
    return bpane;
}

// The subwoofer's parametric equaliser: gain, bandwidth and frequency.
QWidget* subBassPane(EqTab& t) {
    auto* sub = frame(t.frmBass);
    auto* sl = new QHBoxLayout(sub);
    auto* gain = new QGridLayout;
    const QString what = QCoreApplication::translate("Accessible", "Sub bass gain");
    gain->addWidget(label(t.lblGainCaption), 0, 0, 1, 2, Qt::AlignHCenter);
    gain->addWidget(paneScale(kHalfDbScale), 1, 0);
    gain->addWidget(paneSlider(t.sclGain, what), 1, 1, Qt::AlignHCenter);
    gain->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    gain->addWidget(describe(field(t.lblGain), what, kUnitDb), 2, 1, Qt::AlignHCenter);
    gain->setRowStretch(1, 1);
    sl->addLayout(gain);
    auto* bw = frame(t.frmBandwidth);
    auto* bwl = new QVBoxLayout(bw);
    for (auto& o : t.optBand) bwl->addWidget(option(o));
    bwl->addStretch();
    sl->addWidget(bw);
    auto* fq = frame(t.frmFrequency);
    auto* fql = new QVBoxLayout(fq);
    for (auto& o : t.optSPB) fql->addWidget(option(o));
    sl->addWidget(fq);
    sl->addStretch();
    return sub;
}

// Bass and treble, beside the panes.
QWidget* bassTreble(EqTab& t) {
    auto* bt = frame(t.Frame1_8);
    auto* btl = new QGridLayout(bt);
    btl->addWidget(paneScale(kBassScale), 1, 0);
    btl->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    btl->addWidget(label(t.lblBassCaption), 0, 1, Qt::AlignHCenter);
    btl->addWidget(label(t.lblTrebCaption), 0, 2, Qt::AlignHCenter);
    btl->addWidget(paneSlider(t.sclBass, QString::fromStdString(t.lblBassCaption.caption())), 1, 1, Qt::AlignHCenter);
    btl->addWidget(paneSlider(t.sclTreb, QString::fromStdString(t.lblTrebCaption.caption())), 1, 2, Qt::AlignHCenter);
    btl->addWidget(describe(field(t.lblBass, 34), QString::fromStdString(t.lblBassCaption.caption()), kUnitDb), 2, 1,
                   Qt::AlignHCenter);
    btl->addWidget(describe(field(t.lblTreb, 34), QString::fromStdString(t.lblTrebCaption.caption()), kUnitDb), 2, 2,
                   Qt::AlignHCenter);
    btl->setRowStretch(1, 1);
    return bt;
}

}  // namespace

QWidget* buildEqTab(EqTab& t) {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    outer->addLayout(channelRow(t));

    // One pane shows at a time (the channel's); they share the place.
    auto* mid = new QHBoxLayout;
    auto* panes = new QWidget;
    auto* stack = new QVBoxLayout(panes);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(wideBandPane(t));
    stack->addWidget(octavePane(t));
    stack->addWidget(subBassPane(t));
    mid->addWidget(panes, 1);
    mid->addWidget(bassTreble(t));
    outer->addLayout(mid, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(faderGroup(t.fader));
    bottom->addStretch();
    bottom->addWidget(button(t.cmdUp), 0, Qt::AlignBottom);
    outer->addLayout(bottom);
    return page;
}

}  // namespace zelk
