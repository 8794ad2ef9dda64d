// widgets.h - makes the Qt widget for a control object and binds the two,
// so the tab builders read as a list of what each tab holds.
#ifndef ZELK_UI_WIDGETS_H
#define ZELK_UI_WIDGETS_H

#include <QCoreApplication>
#include <QString>
#include <Qt>

#include "form/captions.h"
#include "form/forms.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;
class QWidget;

namespace zelk {

QPushButton* button(Button& c, QWidget* parent = nullptr);
QLabel* label(Label& c, QWidget* parent = nullptr);
QLineEdit* field(TextBox& c, int width = 44);
QSlider* slider(Slider& c, Qt::Orientation o, int length);
QGroupBox* frame(Frame& c);
QComboBox* combo(ComboBox& c);
QRadioButton* option(OptionButton& c);
// A read-only, one-row-at-a-time table for a Table control: a click or the
// current row selects, a double click opens.  The caller fills it.
QTableWidget* readOnlyTable(Table& t);
// The labelled ends and zero of a slider's scale, to stand beside a slider
// of the given orientation (vertical: high at the top).
QWidget* scale(const ScaleMarks& marks, Qt::Orientation o);
// A small unit caption ("dB", "Hz"; one of form/captions.h's, translated here).
QLabel* unit(const char* text);
// A unit of form/captions.h as the user reads it.
QString unitText(const char* unit);
// The "Master Fader" group three tabs carry.
QWidget* faderGroup(FaderGroup& g);

// Accessible names.  A control its caption names needs nothing; the others
// are named here, in the words of the label beside them: what the control
// sets and its unit ("Left trim, dB"), with a description where the name is
// not enough.  `what` may be a caption: a trailing colon and blanks go.  The
// names and descriptions come translated (context "Accessible"); a unit is
// one of form/captions.h's, translated here.
QString accessibleText(const QString& what, const char* unit = nullptr);
inline QString accessibleText(const std::string& what, const char* unit = nullptr) {
    return accessibleText(QString::fromStdString(what), unit);
}
void describeWidget(QWidget* w, const QString& what, const char* unit, const QString& description);
template <typename W>
W* describe(W* w, const QString& what, const char* unit = nullptr, const QString& description = {}) {
    describeWidget(w, what, unit, description);
    return w;
}
// The label names the control beside it (and is its buddy).
void labelWidget(QWidget* w, QLabel* l, const char* unit);
template <typename W>
W* labelledBy(W* w, QLabel* l, const char* unit = nullptr) {
    labelWidget(w, l, unit);
    return w;
}

}  // namespace zelk

#endif
