// The "E.Q" tab: channel buttons, the 27-band, 9-band and sub-bass panes,
// bass and treble, and the fader group.
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildEqTab(EqTab& t) {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);

    auto* top = new QHBoxLayout;
    auto* chans = frame(t.frmChannel);
    auto* cl = new QHBoxLayout(chans);
    for (int ch : kScreenOrder) cl->addWidget(button(t.cmdEQChan[static_cast<std::size_t>(ch)]));
    top->addWidget(chans);
    top->addWidget(button(t.cmdCopy));
    top->addWidget(button(t.cmdClear));
    top->addWidget(button(t.cmdPaste));
    top->addWidget(button(t.cmdPink));
    top->addStretch();
    outer->addLayout(top);

    auto* mid = new QHBoxLayout;
    auto* panes = new QWidget;
    auto* stack = new QVBoxLayout(panes);
    stack->setContentsMargins(0, 0, 0, 0);

    // The first column of each pane names the units and labels the scale.
    auto unitColumn = [](QGridLayout* g, const ScaleMarks& marks) {
        g->addWidget(unit(kUnitHz), 0, 0, Qt::AlignRight);
        auto* sc = scale(marks, Qt::Vertical);
        sc->setFixedHeight(150);
        g->addWidget(sc, 1, 0);
        g->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    };

    auto* a = frame(t.frmBandA);
    auto* al = new QGridLayout(a);
    al->setHorizontalSpacing(0);
    unitColumn(al, kHalfDbScale);
    for (int b = 0; b < 27; ++b) {
        auto* f = label(t.lblBandHz[b]);
        QFont sf = f->font();
        sf.setPointSizeF(sf.pointSizeF() * 0.8);
        f->setFont(sf);
        al->addWidget(f, 0, b + 1, Qt::AlignHCenter);
        al->addWidget(slider(t.sclA[b], Qt::Vertical, 150), 1, b + 1, Qt::AlignHCenter);
        auto* e = field(t.lblBand[b], 27);
        e->setFont(sf);
        e->setTextMargins(0, 0, 0, 0);
        e->setStyleSheet("QLineEdit { padding: 0px; }");
        al->addWidget(e, 2, b + 1, Qt::AlignHCenter);
    }
    stack->addWidget(a);

    auto* bpane = frame(t.frmBandB);
    auto* bl = new QGridLayout(bpane);
    unitColumn(bl, kHalfDbScale);
    for (int b = 0; b < 9; ++b) {
        bl->addWidget(label(t.lblOctaveHz[b]), 0, b + 1, Qt::AlignHCenter);
        bl->addWidget(slider(t.sclB[b], Qt::Vertical, 150), 1, b + 1, Qt::AlignHCenter);
        bl->addWidget(field(t.lblLSRSv[b]), 2, b + 1, Qt::AlignHCenter);
    }
    stack->addWidget(bpane);

    auto* sub = frame(t.frmBass);
    auto* sl = new QHBoxLayout(sub);
    auto* gain = new QGridLayout;
    gain->addWidget(label(t.lblGainCaption), 0, 0, 1, 2, Qt::AlignHCenter);
    auto* gainScale = scale(kHalfDbScale, Qt::Vertical);
    gainScale->setFixedHeight(150);
    gain->addWidget(gainScale, 1, 0);
    gain->addWidget(slider(t.sclGain, Qt::Vertical, 150), 1, 1, Qt::AlignHCenter);
    gain->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    gain->addWidget(field(t.lblGain), 2, 1, Qt::AlignHCenter);
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
    stack->addWidget(sub);
    mid->addWidget(panes, 1);

    auto* bt = frame(t.Frame1_8);
    auto* btl = new QGridLayout(bt);
    auto* btScale = scale(kBassScale, Qt::Vertical);
    btScale->setFixedHeight(150);
    btl->addWidget(btScale, 1, 0);
    btl->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    btl->addWidget(label(t.lblBassCaption), 0, 1, Qt::AlignHCenter);
    btl->addWidget(label(t.lblTrebCaption), 0, 2, Qt::AlignHCenter);
    btl->addWidget(slider(t.sclBass, Qt::Vertical, 150), 1, 1, Qt::AlignHCenter);
    btl->addWidget(slider(t.sclTreb, Qt::Vertical, 150), 1, 2, Qt::AlignHCenter);
    btl->addWidget(field(t.lblBass, 34), 2, 1, Qt::AlignHCenter);
    btl->addWidget(field(t.lblTreb, 34), 2, 2, Qt::AlignHCenter);
    mid->addWidget(bt);
    outer->addLayout(mid);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(faderGroup(t.fader));
    bottom->addStretch();
    bottom->addWidget(button(t.cmdUp), 0, Qt::AlignBottom);
    outer->addLayout(bottom);
    outer->addStretch();
    return page;
}

}  // namespace zelk
