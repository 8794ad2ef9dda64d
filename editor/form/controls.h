// controls.h - window controls as plain objects.
//
// Each control carries the properties the editor's logic reads and writes
// (caption, value, list index, enabled, bold, back colour...).  A value set
// by the program raises the same event a user's action would, whenever the
// value actually changes; that is what the LoadingControls flag exists for.
// A front end observes every property change to keep its widget in step and
// calls the user-action entry points (click(), userSetValue()...) when the
// user acts.
#ifndef ZELK_FORM_CONTROLS_H
#define ZELK_FORM_CONTROLS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zelk {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kGreen{0, 255, 0};
inline constexpr Colour kOrange{255, 128, 0};
inline constexpr Colour kYellow{255, 255, 0};
inline constexpr Colour kGrey{128, 128, 128};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kButtonFace{240, 240, 240};

enum class Prop {
    Caption,
    Enabled,
    Visible,
    Bold,
    BackColour,
    Value,
    Max,
    Items,
    ListIndex,
    Checked,
    Selection,
    Interval,
    Focus,
    Position,
    Tip,
};

class Control {
public:
    explicit Control(std::string name = {}) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }

    // Caption of a button, label, frame or form; text of a text box.
    const std::string& caption() const { return caption_; }
    virtual void setCaption(const std::string& c);

    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { assign(enabled_, e, Prop::Enabled); }
    bool visible() const { return visible_; }
    void setVisible(bool v) { assign(visible_, v, Prop::Visible); }
    bool bold() const { return bold_; }
    void setBold(bool b) { assign(bold_, b, Prop::Bold); }
    Colour backColour() const { return back_; }
    void setBackColour(Colour c) { assign(back_, c, Prop::BackColour); }
    int top() const { return top_; }
    int left() const { return left_; }
    void move(int left, int top);
    // A line that explains the control (a tool tip, a menu's status tip).
    const std::string& tip() const { return tip_; }
    void setTip(const std::string& t) { assign(tip_, t, Prop::Tip); }

    // Focus is tracked so the logic can put it back into a field; the front
    // end moves the real focus when it sees Prop::Focus.
    void setFocus() { notify(Prop::Focus); }

    // Observers are told of every property change.  observe() returns a
    // token; whoever goes away before the control (a widget) removes its
    // observer with unobserve(token), so it is never called afterwards.
    using Observer = std::function<void(Control&, Prop)>;
    using ObserverToken = std::size_t;
    ObserverToken observe(Observer o) {
        observers_.push_back(std::move(o));
        return observers_.size();
    }
    void unobserve(ObserverToken token) {
        if (token >= 1 && token <= observers_.size()) observers_[token - 1] = nullptr;
    }

protected:
    template <typename T>
    bool assign(T& field, const T& value, Prop p) {
        if (field == value) return false;
        field = value;
        notify(p);
        return true;
    }
    void notify(Prop p);
    std::string caption_;

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    bool bold_ = false;
    Colour back_ = kButtonFace;
    int top_ = 0, left_ = 0;
    std::string tip_;
    std::vector<Observer> observers_;
};

// Push button (cmd...) or menu item (mnu...): Click, and a check mark.
class Button : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
    void click() {
        if (onClick) onClick();
    }
    bool checked() const { return checked_; }
    void setChecked(bool c) { assign(checked_, c, Prop::Checked); }
    std::string shortcut;

private:
    bool checked_ = false;
};
using MenuItem = Button;

// Label, frame, form or picture: a caption and the common properties.
class Label : public Control {
public:
    using Control::Control;
};
using Frame = Label;

// Key codes of the controls' key events (the front end turns its own keys
// into these), and the bits of their shift state.
enum Key : int {
    KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_PAGE_UP = 33, KEY_PAGE_DOWN = 34, KEY_END = 35, KEY_HOME = 36,
    KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40, KEY_NUMPAD_PLUS = 107, KEY_NUMPAD_MINUS = 109,
    KEY_F1 = 112, KEY_F2 = 113,  // to F12 = 123
};
inline constexpr int SHIFT_SHIFT = 1, SHIFT_CTRL = 2, SHIFT_ALT = 4;

// One-line or multi-line text box (txt..., and the entry fields lbl... next
// to the sliders): Change when the text changes, KeyDown, Validate.
class TextBox : public Control {
public:
    using Control::Control;
    void setCaption(const std::string& c) override;
    const std::string& text() const { return caption_; }
    void setText(const std::string& t) { setCaption(t); }
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    void setSelection(int start, int length);

    std::function<void()> onChange;
    std::function<void(int keyCode, int shift)> onKeyDown;
    std::function<void(bool& cancel)> onValidate;

    // User actions.
    void keyDown(int keyCode, int shift = 0) {
        if (onKeyDown) onKeyDown(keyCode, shift);
    }
    // Focus is about to leave: returns false when validation keeps it here.
    bool validate() {
        bool cancel = false;
        if (onValidate) onValidate(cancel);
        return !cancel;
    }

private:
    int selStart_ = 0, selLength_ = 0;
};

// Slider (scl...): raw value 0..max; Change when the value changes (from
// the program, or a finished user move), Scroll while dragging.
class Slider : public Control {
public:
    using Control::Control;
    int value() const { return value_; }
    void setValue(int v);
    int max() const { return max_; }
    void setMax(int m) { assign(max_, m, Prop::Max); }

    std::function<void()> onChange;
    std::function<void()> onScroll;
    std::function<void(int keyCode)> onKeyDown;
    std::function<void(int keyCode)> onKeyUp;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;

    // User actions: the thumb dragged to v (scroll events), then released.
    void userScroll(int v);
    void userRelease();
    void gotFocus() {
        if (onGotFocus) onGotFocus();
    }
    // The program moves the focus here (the front end follows).
    void focusIn() {
        setFocus();
        gotFocus();
    }

private:
    int value_ = 0;
    int max_ = 24;
    int dragged_ = -1;
};

// Drop-down list (cbo...): items and a list index; Click when the index
// changes.  Setting the text selects the item of that text.
class ComboBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    void addItem(const std::string& item);
    int listIndex() const { return index_; }
    void setListIndex(int i);
    std::string text() const { return index_ >= 0 && index_ < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(index_)] : std::string(); }
    void setText(const std::string& t);
    std::function<void()> onClick;

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

// Option button (opt...): choosing one of a group clears the others; Click
// on the one chosen.
class OptionButton : public Control {
public:
    using Control::Control;
    bool value() const { return value_; }
    void setValue(bool v);
    std::function<void()> onClick;
    std::vector<OptionButton*> group;  // siblings, set by the owning window

private:
    bool value_ = false;
};

// Check box (chk...): value 0 or 1; Click when it changes.
class CheckBox : public Control {
public:
    using Control::Control;
    int value() const { return value_; }
    void setValue(int v);
    std::function<void()> onClick;

private:
    int value_ = 0;
};

// Timer (tmr...): interval in ms and enabled; the front end (or a test)
// calls tick() when it fires.
class Timer : public Control {
public:
    using Control::Control;
    int interval() const { return interval_; }
    void setInterval(int ms) { assign(interval_, ms, Prop::Interval); }
    std::function<void()> onTimer;
    // Its tick talks to the unit (poll, refresh, optical): while another
    // exchange is in flight the tick waits for it.  The clock does not.
    bool talksToUnit = false;
    void tick() {
        if (enabled() && interval_ > 0 && onTimer) onTimer();
    }

private:
    int interval_ = 0;
};

// The looks of a toggle button: on is bold on yellow, off is plain on the
// neutral button colour.  Rules never read these back: the owner of a
// toggle keeps its state in a variable and shows it through showToggle.
inline void offLook(Control& c) {
    c.setBackColour(kButtonFace);
    c.setBold(false);
}
inline void onLook(Control& c) {
    c.setBackColour(kYellow);
    c.setBold(true);
}
inline void showToggle(Control& c, bool on, const std::string& caption) {
    if (on) onLook(c);
    else offLook(c);
    c.setCaption(caption);
}

// Links option buttons into one group.
template <typename Array>
void makeOptionGroup(Array& buttons) {
    std::vector<OptionButton*> all;
    for (auto& b : buttons) all.push_back(&b);
    for (auto& b : buttons) b.group = all;
}

// Gives each element of a control array its indexed name, e.g. "sclA(3)".
template <typename Array>
void nameArray(Array& controls, const std::string& base) {
    int i = 0;
    for (auto& c : controls) c.setName(base + "(" + std::to_string(i++) + ")");
}

}  // namespace zelk

#endif
