// The "Options" tab: non-sync mode and trim, reader offset, surround delay,
// matrix decoding, power-on format and the F1 key.
#include <QRadioButton>
#include <QSlider>
#include <QLineEdit>
#include <QCheckBox>
#include <QComboBox>
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

QWidget* buildOptionsTab(OptionsTab& t) {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* left = new QGridLayout;
    int row = 0;
    auto labelled = [&](Label& caption, ComboBox& list) {
        QLabel* l = label(caption);
        left->addWidget(l, row, 0);
        left->addWidget(labelledBy(combo(list), l), row++, 1);
    };
    labelled(t.lblNonsyncMode, t.cboNonsyncMode);
    labelled(t.lblNonsyncTrim, t.cboNonsyncTrim);
    labelled(t.lblReaderDelay, t.cboReaderDelay);
    labelled(t.lblSurroundDelay, t.cboSurroundDelay);
    auto* chk = new QCheckBox;
    bind(t.chkDisableMatrix, chk);
    left->addWidget(chk, 4, 0, 1, 2);
    left->setRowStretch(5, 1);
    h->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* pof = frame(t.frmPowerOn);
    auto* pl = new QVBoxLayout(pof);
    for (auto& o : t.optDefaultFormat) pl->addWidget(option(o));
    right->addWidget(pof);
    auto* f1 = frame(t.frmF1Key);
    auto* f1l = new QVBoxLayout(f1);
    for (auto& o : t.optF1Key) f1l->addWidget(option(o));
    right->addWidget(f1);
    right->addStretch();
    right->addWidget(button(t.cmdUp), 0, Qt::AlignRight);
    h->addLayout(right, 1);
    return page;
}

}  // namespace zelk
