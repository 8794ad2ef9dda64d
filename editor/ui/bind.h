// bind.h - keeps a Qt widget and a control object in step: a property
// change on the object updates the widget, a user action on the widget
// calls the object's user-action entry point.  No editor rule lives here.
#ifndef ZELK_UI_BIND_H
#define ZELK_UI_BIND_H

#include <functional>

#include <QString>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class QSlider;
class QTimer;
class QWidget;

namespace zelk {

class Button;
class CheckBox;
class ComboBox;
class Control;
class Label;
class OptionButton;
class Slider;
class TextBox;
class Timer;

// The VB-style key code and shift mask of a Qt key event.
int vbKeyCode(int qtKey, bool keypad);
int vbShift(int qtModifiers);

void bindCommon(Control& c, QWidget* w);  // enabled, visible, colour, bold, focus
void bind(Button& c, QAbstractButton* w);
void bind(Button& c, QAction* a);  // menu item
void bind(Label& c, QLabel* w);
void bind(Label& c, QGroupBox* w);  // frame
void bind(Label& c, QWidget* w);    // frame without a caption (tab page, form)
void bind(TextBox& c, QLineEdit* w);
void bind(TextBox& c, QPlainTextEdit* w);
void bind(Slider& c, QSlider* w);
void bind(Slider& c, QProgressBar* w);
void bind(ComboBox& c, QComboBox* w);
void bind(OptionButton& c, QRadioButton* w);
void bind(CheckBox& c, QCheckBox* w);
void bind(Timer& c, QTimer* t);

// A button whose caption is its state ("Off", "In Phase"): its accessible
// name says what it switches and, after a colon, the caption it shows.
void nameWithCaption(Control& c, QWidget* w, const QString& what);

// What a timer's tick goes through: by default it runs at once; the editor
// defers ticks that arrive while an exchange with the unit is in flight.
using TickGate = std::function<void(const void* key, std::function<void()> tick)>;
void setTickGate(TickGate gate);

}  // namespace zelk

#endif
