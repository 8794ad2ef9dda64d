// The "Output Trim" tab: the six trims, pink noise and phase per channel,
// RT-60 and the fader group.
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QLineEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildTrimTab(TrimTab& t) {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);

    auto* trim = frame(t.frmTrim);
    auto* tl = new QGridLayout(trim);
    auto* sc = scale(kHalfDbScale, Qt::Vertical);
    sc->setFixedHeight(170);
    tl->addWidget(sc, 1, 0);
    tl->addWidget(unit(kUnitDb), 2, 0, Qt::AlignRight);
    for (int col = 0; col < 6; ++col) {
        const int ch = kScreenOrder[static_cast<std::size_t>(col)];
        const QString what = QCoreApplication::translate("Accessible", "%1 trim")
                                 .arg(QString::fromStdString(t.lblTrimChannel[col].caption()));
        tl->addWidget(label(t.lblTrimChannel[col]), 0, col + 1, Qt::AlignHCenter);
        tl->addWidget(describe(slider(t.sclPNG[ch], Qt::Vertical, 170), what, kUnitDb), 1, col + 1, Qt::AlignHCenter);
        tl->addWidget(describe(field(t.lblPNG[ch]), what, kUnitDb), 2, col + 1, Qt::AlignHCenter);
    }
    tl->addWidget(describe(button(t.cmdReset), QCoreApplication::translate("Accessible", "Reset trims"), nullptr,
                           QCoreApplication::translate("Accessible", "Sets the six trims to 0.0 dB")),
                  3, 1, 1, 6, Qt::AlignHCenter);
    g->addWidget(trim, 0, 0, 2, 1);

    auto* pink = frame(t.Frame1_13);
    auto* pl = new QGridLayout(pink);
    pl->addWidget(label(t.lblPinkRow), 1, 0);
    pl->addWidget(label(t.lblPhaseRow), 2, 0);
    for (int col = 0; col < 6; ++col) {
        const int ch = kScreenOrder[static_cast<std::size_t>(col)];
        const QString channel = QString::fromStdString(t.lblPinkChannel[col].caption());
        pl->addWidget(label(t.lblPinkChannel[col]), 0, col + 1, Qt::AlignHCenter);
        QPushButton* pn = button(t.cmdPN[ch]);
        nameWithCaption(t.cmdPN[ch], pn, QCoreApplication::translate("Accessible", "%1 pink noise").arg(channel));
        pl->addWidget(pn, 1, col + 1);
        QPushButton* phase = button(t.cmdPhase[ch]);
        nameWithCaption(t.cmdPhase[ch], phase, QCoreApplication::translate("Accessible", "%1 phase").arg(channel));
        pl->addWidget(phase, 2, col + 1);
    }
    g->addWidget(pink, 2, 0);

    auto* rt = frame(t.Frame1_5);
    auto* rl = new QVBoxLayout(rt);
    QPushButton* rt60 = button(t.cmdRT60);
    nameWithCaption(t.cmdRT60, rt60, accessibleText(t.Frame1_5.caption()));
    rl->addWidget(rt60);
    g->addWidget(rt, 0, 1, Qt::AlignTop);
    g->addWidget(faderGroup(t.fader), 1, 1, Qt::AlignTop);
    g->addWidget(button(t.cmdUp), 2, 1, Qt::AlignBottom);
    g->setRowStretch(3, 1);
    return page;
}

}  // namespace zelk
