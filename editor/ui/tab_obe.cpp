// The "OBE" tab: the OBE switch, filter and gain, pink noise on center and
// sub, and the fader group.
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QLineEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildObeTab(ObeTab& t) {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* obe = frame(t.frmObe);
    auto* g = new QGridLayout(obe);
    g->addWidget(button(t.cmdOBEEnable), 0, 0, 1, 3);
    QLabel* filter = label(t.lblObeFilter);
    g->addWidget(filter, 1, 0);
    g->addWidget(labelledBy(combo(t.cboObeF), filter), 1, 1);
    QLabel* gain = label(t.lblObeGain);
    g->addWidget(gain, 2, 0);
    g->addWidget(labelledBy(slider(t.sclOBE, Qt::Horizontal, 240), gain, kUnitDb), 2, 1);
    auto* gainField = new QHBoxLayout;
    gainField->addWidget(describe(field(t.lblOBE), QString::fromStdString(t.lblObeGain.caption()), kUnitDb));
    gainField->addWidget(unit(kUnitDb));
    gainField->addStretch();
    g->addLayout(gainField, 2, 2);
    auto* sc = scale(kHalfDbScale, Qt::Horizontal);
    sc->setFixedWidth(240);
    g->addWidget(sc, 3, 1);
    QPushButton* pnc = button(t.cmdPNC);
    nameWithCaption(t.cmdPNC, pnc, accessibleText(t.lblPinkCenter.caption()));
    g->addWidget(label(t.lblPinkCenter), 4, 0);
    g->addWidget(pnc, 4, 1);
    QPushButton* pns = button(t.cmdPNS);
    nameWithCaption(t.cmdPNS, pns, accessibleText(t.lblPinkSub.caption()));
    g->addWidget(label(t.lblPinkSub), 5, 0);
    g->addWidget(pns, 5, 1);
    g->setRowStretch(6, 1);
    h->addWidget(obe, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(faderGroup(t.fader));
    right->addStretch();
    right->addWidget(button(t.cmdUp));
    h->addLayout(right);
    obe->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    h->setAlignment(obe, Qt::AlignTop);
    return page;
}

}  // namespace zelk
