// The "Optical Setup" tab: the measurement, Start/Stop, the projectors, the
// pictures (the azimuth picture laid over the gain/slit-loss picture) and
// the readouts beside them.
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSizePolicy>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "ui/picture_widget.h"
#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

QWidget* buildOpticalTab(OpticalTab& t) {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    auto* mode = frame(t.frmChangeOpt);
    auto* ml = new QVBoxLayout(mode);
    for (auto& o : t.optOptical) ml->addWidget(option(o));
    left->addWidget(mode);
    auto* start = button(t.cmdStart);
    start->setMinimumHeight(40);
    QFont big = start->font();
    big.setPointSize(big.pointSize() + 3);
    start->setFont(big);
    left->addWidget(start);
    auto* prompt = label(t.lblStart);
    prompt->setAlignment(Qt::AlignRight);
    // The hint blinks; the projector buttons below it must not jump under
    // the technician's pointer each time it goes.
    QSizePolicy keep = prompt->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    prompt->setSizePolicy(keep);
    left->addWidget(prompt);
    for (auto& p : t.cmdPro) left->addWidget(button(p));
    auto* lock = label(t.lblLock);
    lock->setAlignment(Qt::AlignCenter);
    lock->setFrameShape(QFrame::Panel);
    lock->setFrameShadow(QFrame::Sunken);
    left->addWidget(lock);
    left->addStretch();
    left->addWidget(button(t.cmdMute4));
    h->addLayout(left);

    // The two pictures share one place; the azimuth picture covers the
    // other while it is shown.
    auto* pictures = new QWidget;
    auto* stack = new QStackedLayout(pictures);
    stack->setStackingMode(QStackedLayout::StackAll);
    auto* graph = describe(new PictureWidget(t.OptGraph),
                           QCoreApplication::translate("Accessible", "Gain and slit loss picture"), nullptr,
                           QCoreApplication::translate("Accessible", "Each track's gain, or each band's slit loss, "
                                                                     "against its reference line; the numbers are in "
                                                                     "the readout beside it"));
    auto* azi = describe(new PictureWidget(t.optAzi), QCoreApplication::translate("Accessible", "Azimuth picture"),
                         nullptr,
                         QCoreApplication::translate("Accessible", "The two tracks plotted against each other: a "
                                                                   "diagonal line when the reader is aligned; the "
                                                                   "correlation is in the readout beside it"));
    stack->addWidget(graph);
    stack->addWidget(azi);
    auto showAzi = [stack, azi, graph](bool visible) {
        azi->setVisible(visible);
        graph->setVisible(!visible);
        stack->setCurrentWidget(visible ? static_cast<QWidget*>(azi) : graph);
    };
    showAzi(t.optAzi.visible());
    const auto token = t.optAzi.observe([showAzi](Control& c, Prop p) {
        if (p == Prop::Visible) showAzi(c.visible());
    });
    QObject::connect(azi, &QObject::destroyed, [&t, token] { t.optAzi.unobserve(token); });
    h->addWidget(pictures, 1);

    auto* right = new QVBoxLayout;
    auto* readout = label(t.lblReadout);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(mono.pointSize() + 4);
    mono.setBold(true);
    readout->setFont(mono);
    readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    readout->setMinimumWidth(240);
    describe(readout, QCoreApplication::translate("Accessible", "Measurement readout"), nullptr,
             QCoreApplication::translate("Accessible", "The numbers of the measurement shown in the picture"));
    readout->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    readout->setFocusPolicy(Qt::StrongFocus);
    right->addWidget(readout, 1);
    right->addWidget(button(t.cmdUp));
    h->addLayout(right);
    return page;
}

}  // namespace zelk
