#include "ui/widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "ui/bind.h"

namespace zelk {

QPushButton* button(Button& c, QWidget* parent) {
    auto* w = new QPushButton(parent);
    bind(c, w);
    return w;
}

QLabel* label(Label& c, QWidget* parent) {
    auto* w = new QLabel(parent);
    bind(c, w);
    return w;
}

QLineEdit* field(TextBox& c, int width) {
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

QWidget* faderGroup(FaderGroup& f) {
    auto* g = frame(f.Frame8);
    auto* l = new QGridLayout(g);
    l->addWidget(label(f.lblFader), 0, 0);
    l->addWidget(field(f.lblVol, 48), 0, 1);
    l->addWidget(button(f.cmdMute), 0, 2);
    l->addWidget(button(f.cmdSet7), 1, 0, 1, 2);
    l->addWidget(button(f.cmdAdjust), 1, 2);
    g->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return g;
}

}  // namespace zelk
