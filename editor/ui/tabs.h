// tabs.h - one builder per tab of the main window: each makes the tab's
// widgets from its own control struct and nothing else.
#ifndef ZELK_UI_TABS_H
#define ZELK_UI_TABS_H

#include "form/forms.h"

class QGridLayout;
class QWidget;

namespace zelk {

QWidget* buildFormatTab(FormatTab& t);
QWidget* buildTrimTab(TrimTab& t);
QWidget* buildEqTab(EqTab& t);
QWidget* buildObeTab(ObeTab& t);
QWidget* buildOpticalTab(OpticalTab& t);
QWidget* buildOptionsTab(OptionsTab& t);
QWidget* buildTheaterTab(TheaterTab& t);
QWidget* buildHelpTab(HelpTab& t);

// The eleven theater fields with their captions, in rows (shared by the
// tab and the dialog); returns the next free row.
int layoutTheaterFields(QGridLayout* g, std::array<Label, 11>& captions, std::array<TextBox, 11>& boxes,
                        bool readOnly);

}  // namespace zelk

#endif
