// The "Optical Setup" tab.
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QLineEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildOpticalTab(OpticalTab& t) {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* note = new QLabel(QStringLiteral(
        "Optical reader alignment (gain, slit loss and azimuth measurements) is not available in this version "
        "of the editor."));
    note->setWordWrap(true);
    note->setObjectName("opticalNote");
    v->addWidget(note);
    auto* row = new QHBoxLayout;
    row->addWidget(button(t.cmdMute4));
    row->addStretch();
    row->addWidget(button(t.cmdUp));
    v->addStretch();
    v->addLayout(row);
    return page;
}

}  // namespace zelk
