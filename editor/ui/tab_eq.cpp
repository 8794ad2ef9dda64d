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

    auto* a = frame(t.frmBandA);
    auto* al = new QGridLayout(a);
    al->setHorizontalSpacing(0);
    for (int b = 0; b < 27; ++b) {
        auto* f = label(t.lblBandHz[b]);
        QFont sf = f->font();
        sf.setPointSizeF(sf.pointSizeF() * 0.8);
        f->setFont(sf);
        al->addWidget(f, 0, b, Qt::AlignHCenter);
        al->addWidget(slider(t.sclA[b], Qt::Vertical, 150), 1, b, Qt::AlignHCenter);
        auto* e = field(t.lblBand[b], 27);
        e->setFont(sf);
        e->setTextMargins(0, 0, 0, 0);
        e->setStyleSheet("QLineEdit { padding: 0px; }");
        al->addWidget(e, 2, b, Qt::AlignHCenter);
    }
    stack->addWidget(a);

    auto* bpane = frame(t.frmBandB);
    auto* bl = new QGridLayout(bpane);
    for (int b = 0; b < 9; ++b) {
        bl->addWidget(label(t.lblOctaveHz[b]), 0, b, Qt::AlignHCenter);
        bl->addWidget(slider(t.sclB[b], Qt::Vertical, 150), 1, b, Qt::AlignHCenter);
        bl->addWidget(field(t.lblLSRSv[b]), 2, b, Qt::AlignHCenter);
    }
    stack->addWidget(bpane);

    auto* sub = frame(t.frmBass);
    auto* sl = new QHBoxLayout(sub);
    auto* gain = new QVBoxLayout;
    gain->addWidget(label(t.lblGainCaption), 0, Qt::AlignHCenter);
    gain->addWidget(slider(t.sclGain, Qt::Vertical, 150), 0, Qt::AlignHCenter);
    gain->addWidget(field(t.lblGain), 0, Qt::AlignHCenter);
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
    btl->addWidget(label(t.lblBassCaption), 0, 0, Qt::AlignHCenter);
    btl->addWidget(label(t.lblTrebCaption), 0, 1, Qt::AlignHCenter);
    btl->addWidget(slider(t.sclBass, Qt::Vertical, 150), 1, 0, Qt::AlignHCenter);
    btl->addWidget(slider(t.sclTreb, Qt::Vertical, 150), 1, 1, Qt::AlignHCenter);
    btl->addWidget(field(t.lblBass, 34), 2, 0, Qt::AlignHCenter);
    btl->addWidget(field(t.lblTreb, 34), 2, 1, Qt::AlignHCenter);
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
