// The "Format Selection" tab: format buttons, the main fader, the clock and
// the unit's versions.
#include <QRadioButton>
#include <QComboBox>
#include <QLineEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildFormatTab(FormatTab& t) {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* mode = frame(t.Frame1_3);
    auto* ml = new QVBoxLayout(mode);
    for (auto& b : t.cmdMode) {
        auto* w = button(b);
        w->setMinimumHeight(40);
        w->setMinimumWidth(170);
        ml->addWidget(w);
    }
    ml->addStretch();
    h->addWidget(mode);

    auto* fader = frame(t.Frame1_1);
    auto* fl = new QVBoxLayout(fader);
    fl->addWidget(describe(field(t.lblVol, 52), QCoreApplication::translate("Accessible", "Master fader level")), 0,
                  Qt::AlignHCenter);
    auto* vol = describe(slider(t.sclVol, Qt::Vertical, 260), QCoreApplication::translate("Accessible", "Master fader"));
    vol->setMinimumHeight(200);
    vol->setMaximumHeight(QWIDGETSIZE_MAX);
    auto* volRow = new QHBoxLayout;
    volRow->addStretch();
    volRow->addWidget(vol);
    volRow->addWidget(scale(kFaderScale, Qt::Vertical));
    volRow->addStretch();
    fl->addLayout(volRow, 1);
    fl->addWidget(label(t.lblFader), 0, Qt::AlignHCenter);
    fl->addWidget(button(t.cmdMute));
    h->addWidget(fader);

    auto* right = new QVBoxLayout;
    auto* logo = label(t.lblLogo);
    logo->setAlignment(Qt::AlignCenter);
    logo->setStyleSheet("QLabel#lblLogo { font: bold 36pt; color: rgb(0,40,120); }");
    right->addWidget(logo);
    auto* sub = label(t.lblProduct);
    sub->setAlignment(Qt::AlignCenter);
    right->addWidget(sub);
    auto* clock = label(t.lblClock);
    clock->setAlignment(Qt::AlignCenter);
    QFont cf = clock->font();
    cf.setPointSize(cf.pointSize() + 6);
    clock->setFont(cf);
    right->addWidget(clock);
    auto* info = frame(t.Frame1_21);
    auto* il = new QVBoxLayout(info);
    for (auto& l : t.lnlInfo) il->addWidget(label(l));
    right->addWidget(info);
    right->addStretch();
    right->addWidget(button(t.cmdUp));
    h->addLayout(right, 1);
    return page;
}

}  // namespace zelk
