#include "ui/widgets.h"

#include <QHeaderView>
#include <QTableWidget>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
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
    w->setPageStep(1);  // a click on the groove moves one step; the page keys go to the logic
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

namespace {
QLabel* small(const char* text, Qt::Alignment a) {
    auto* l = new QLabel(QString::fromUtf8(text));
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.8);
    l->setFont(f);
    l->setAlignment(a);
    return l;
}
}  // namespace

QWidget* scale(const ScaleMarks& m, Qt::Orientation o) {
    auto* w = new QWidget;
    w->setObjectName("scale");
    if (o == Qt::Vertical) {
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(small(m.high, Qt::AlignRight | Qt::AlignTop));
        v->addStretch();
        v->addWidget(small(m.zero, Qt::AlignRight | Qt::AlignVCenter));
        v->addStretch();
        v->addWidget(small(m.low, Qt::AlignRight | Qt::AlignBottom));
    } else {
        // Horizontal sliders grow to the right: low end on the left.
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(small(m.low, Qt::AlignLeft));
        h->addStretch();
        h->addWidget(small(m.zero, Qt::AlignHCenter));
        h->addStretch();
        h->addWidget(small(m.high, Qt::AlignRight));
    }
    return w;
}

QString unitText(const char* unit) { return QCoreApplication::translate("Units", unit); }

QLabel* unit(const char* text) { return small(unitText(text).toUtf8().constData(), Qt::AlignCenter); }

QWidget* faderGroup(FaderGroup& f) {
    auto* g = frame(f.Frame8);
    auto* l = new QGridLayout(g);
    QLabel* caption = label(f.lblFader);
    l->addWidget(caption, 0, 0);
    l->addWidget(labelledBy(field(f.lblVol, 48), caption), 0, 1);
    l->addWidget(button(f.cmdMute), 0, 2);
    l->addWidget(button(f.cmdSet7), 1, 0, 1, 2);
    l->addWidget(button(f.cmdAdjust), 1, 2);
    g->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return g;
}

QString accessibleText(const QString& what, const char* unit) {
    QString s = what.trimmed();
    s.remove(QLatin1Char('&'));
    while (s.endsWith(QLatin1Char(':'))) s.chop(1);
    s = s.trimmed();
    if (unit && *unit) s += QStringLiteral(", ") + unitText(unit);
    return s;
}

void describeWidget(QWidget* w, const QString& what, const char* unit, const QString& description) {
    w->setAccessibleName(accessibleText(what, unit));
    if (!description.isEmpty()) w->setAccessibleDescription(description);
}

void labelWidget(QWidget* w, QLabel* l, const char* unit) {
    l->setBuddy(w);
    w->setAccessibleName(accessibleText(l->text(), unit));
}

QTableWidget* readOnlyTable(Table& t) {
    auto* w = new QTableWidget;
    w->setObjectName(QString::fromStdString(t.name()));
    w->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w->setSelectionBehavior(QAbstractItemView::SelectRows);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->verticalHeader()->setVisible(false);
    w->setAlternatingRowColors(true);
    w->setWordWrap(false);
    QObject::connect(w, &QTableWidget::cellClicked, w, [&t](int row, int) { t.userSelect(row); });
    QObject::connect(w, &QTableWidget::currentCellChanged, w, [&t](int row, int, int, int) {
        if (row >= 0 && row != t.selected()) t.userSelect(row);
    });
    QObject::connect(w, &QTableWidget::cellDoubleClicked, w, [&t](int row, int) { t.userOpen(row); });
    return w;
}

}  // namespace zelk
