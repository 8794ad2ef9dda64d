// support_dialog.h - the "Save Support Bundle" window.
#ifndef ZELK_UI_SUPPORT_DIALOG_H
#define ZELK_UI_SUPPORT_DIALOG_H

#include "form/forms.h"

class QDialog;
class QWidget;

namespace zelk {

QDialog* buildSupportDialog(FrmSupport& f, QWidget* parent);

}  // namespace zelk

#endif
