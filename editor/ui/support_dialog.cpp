// The "Save Support Bundle" window: what goes into the archive, the box
// that lets theater texts and host names go with it, Save and Cancel.
#include "ui/support_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/windows.h"

namespace zelk {

QDialog* buildSupportDialog(FrmSupport& f, QWidget* parent) {
    auto* d = new BoundDialog(parent, [&f] { f.cmdCancel.click(); });
    d->setObjectName("frmSupport");
    d->setWindowTitle(QString::fromStdString(f.form.caption()));
    d->setModal(true);
    auto* v = new QVBoxLayout(d);
    auto* contents = new QLabel;
    bind(f.lblContents, contents);
    contents->setWordWrap(true);
    contents->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    v->addWidget(contents);
    auto* theater = new QCheckBox;
    bind(f.chkTheater, theater);
    v->addWidget(theater);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* save = new QPushButton;
    bind(f.cmdSave, save);
    save->setDefault(true);
    auto* cancel = new QPushButton;
    bind(f.cmdCancel, cancel);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    d->resize(560, d->sizeHint().height());
    f.form.observe([d](Control& c, Prop p) {
        if (p != Prop::Visible) return;
        if (c.visible()) {
            d->show();
            d->raise();
            d->activateWindow();
        } else {
            d->hide();
        }
    });
    return d;
}

}  // namespace zelk
