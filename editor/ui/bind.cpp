#include "ui/bind.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "form/controls.h"

namespace zelk {

namespace {

// True while the program writes into a widget, so the widget's own signals
// are not taken for a user's action.
int gSyncing = 0;
TickGate gTickGate;
struct Syncing {
    Syncing() { ++gSyncing; }
    ~Syncing() { --gSyncing; }
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

void applyLook(Control& c, QWidget* w) {
    const Colour col = c.backColour();
    QString style;
    if (!(col == kButtonFace))
        style = QStringLiteral("background-color: rgb(%1,%2,%3);").arg(col.r).arg(col.g).arg(col.b);
    if (qobject_cast<QAbstractButton*>(w) && !style.isEmpty()) style += QStringLiteral(" color: black;");
    w->setStyleSheet(style.isEmpty() ? QString() : QStringLiteral("%1 { %2 }").arg(w->metaObject()->className(), style));
    QFont f = w->font();
    f.setBold(c.bold());
    w->setFont(f);
}

// Routes a widget's events to a handler object owned by the widget.
class Filter : public QObject {
public:
    using Fn = std::function<bool(QEvent*)>;
    Filter(QObject* parent, Fn fn) : QObject(parent), fn_(std::move(fn)) { parent->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override { return fn_(e); }

private:
    Fn fn_;
};

// Observes a control for as long as `owner` lives: the observer is removed
// when the widget is destroyed, and never calls a widget that is gone.
template <typename Fn>
void watch(Control& c, QObject* owner, Fn fn) {
    QPointer<QObject> alive(owner);
    const auto token = c.observe([alive, fn](Control& ctl, Prop p) {
        if (alive) fn(ctl, p);
    });
    QObject::connect(owner, &QObject::destroyed, [&c, token] { c.unobserve(token); });
}

}  // namespace

void nameWithCaption(Control& c, QWidget* w, const QString& what) {
    auto name = [w, what](const Control& ctl) {
        w->setAccessibleName(what + QStringLiteral(": ") + qs(ctl.caption()).remove(QLatin1Char('&')));
    };
    name(c);
    watch(c, w, [name](Control& ctl, Prop p) {
        if (p == Prop::Caption) name(ctl);
    });
}

void setTickGate(TickGate gate) { gTickGate = std::move(gate); }

int vbKeyCode(int key, bool keypad) {
    if (keypad && key == Qt::Key_Plus) return KEY_NUMPAD_PLUS;
    if (keypad && key == Qt::Key_Minus) return KEY_NUMPAD_MINUS;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return KEY_ENTER;
    case Qt::Key_Escape: return KEY_ESCAPE;
    case Qt::Key_PageUp: return KEY_PAGE_UP;
    case Qt::Key_PageDown: return KEY_PAGE_DOWN;
    case Qt::Key_End: return KEY_END;
    case Qt::Key_Home: return KEY_HOME;
    case Qt::Key_Left: return KEY_LEFT;
    case Qt::Key_Up: return KEY_UP;
    case Qt::Key_Right: return KEY_RIGHT;
    case Qt::Key_Down: return KEY_DOWN;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return KEY_F1 + (key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    return key & 0xFFFF;
}

int vbShift(int mods) {
    int s = 0;
    if (mods & Qt::ShiftModifier) s |= SHIFT_SHIFT;
    if (mods & Qt::ControlModifier) s |= SHIFT_CTRL;
    if (mods & Qt::AltModifier) s |= SHIFT_ALT;
    return s;
}

void bindCommon(Control& c, QWidget* w) {
    w->setObjectName(qs(c.name()));
    w->setEnabled(c.enabled());
    if (!c.visible()) w->setVisible(false);
    applyLook(c, w);
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        switch (p) {
        case Prop::Enabled: w->setEnabled(ctl.enabled()); break;
        case Prop::Visible: w->setVisible(ctl.visible()); break;
        case Prop::BackColour:
        case Prop::Bold: applyLook(ctl, w); break;
        case Prop::Focus: w->setFocus(Qt::OtherFocusReason); break;
        case Prop::Tip: w->setToolTip(qs(ctl.tip())); break;
        default: break;
        }
    });
}

void bind(Button& c, QAbstractButton* w) {
    bindCommon(c, w);
    w->setText(qs(c.caption()));
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        if (p == Prop::Caption) w->setText(qs(ctl.caption()));
    });
    QObject::connect(w, &QAbstractButton::clicked, w, [&c] {
        if (!gSyncing) c.click();
    });
}

void bind(Button& c, QAction* a) {
    a->setObjectName(qs(c.name()));
    a->setText(qs(c.caption()));
    a->setEnabled(c.enabled());
    a->setChecked(c.checked());
    if (!c.shortcut.empty()) a->setShortcut(QKeySequence(qs(c.shortcut)));
    watch(c, a, [a](Control& ctl, Prop p) {
        Syncing guard;
        auto& b = static_cast<Button&>(ctl);
        if (p == Prop::Caption) a->setText(qs(b.caption()));
        if (p == Prop::Enabled) a->setEnabled(b.enabled());
        if (p == Prop::Visible) a->setVisible(b.visible());
        if (p == Prop::Tip) {
            a->setToolTip(qs(b.tip()));
            a->setStatusTip(qs(b.tip()));
        }
        if (p == Prop::Checked) {
            a->setCheckable(true);
            a->setChecked(b.checked());
        }
    });
    QObject::connect(a, &QAction::triggered, a, [&c, a] {
        if (gSyncing) return;
        // The logic decides the check mark; undo Qt's own toggle first.
        {
            Syncing guard;
            a->setChecked(c.checked());
        }
        c.click();
    });
}

void bind(Label& c, QLabel* w) {
    bindCommon(c, w);
    w->setText(qs(c.caption()));
    if (!(c.backColour() == kButtonFace)) w->setAutoFillBackground(true);
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        if (p == Prop::Caption) w->setText(qs(ctl.caption()));
    });
}

void bind(Label& c, QGroupBox* w) {
    bindCommon(c, w);
    w->setTitle(qs(c.caption()));
    w->setStyleSheet(QString());
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        if (p == Prop::Caption) w->setTitle(qs(ctl.caption()));
        if (p == Prop::BackColour) w->setStyleSheet(QString());
    });
}

void bind(Label& c, QWidget* w) {
    w->setObjectName(qs(c.name()));
    w->setEnabled(c.enabled());
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        if (p == Prop::Enabled) w->setEnabled(ctl.enabled());
        if (p == Prop::Visible) w->setVisible(ctl.visible());
    });
}

void bind(TextBox& c, QLineEdit* w) {
    bindCommon(c, w);
    w->setText(qs(c.text()));
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        auto& t = static_cast<TextBox&>(ctl);
        if (p == Prop::Caption && w->text() != qs(t.text())) {
            // The logic may rewrite what is being typed (a character the
            // field does not keep): the cursor stays where the user is.
            const int cursor = w->cursorPosition();
            w->setText(qs(t.text()));
            w->setCursorPosition(std::min(cursor, static_cast<int>(w->text().size())));
        }
        if (p == Prop::Selection) w->setSelection(t.selStart(), t.selLength());
    });
    QObject::connect(w, &QLineEdit::textEdited, w, [&c](const QString& text) {
        if (!gSyncing) c.setText(text.toStdString());
    });
    new Filter(w, [&c, w](QEvent* e) {
        if (gSyncing) return false;
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            const int code = vbKeyCode(k->key(), k->modifiers() & Qt::KeypadModifier);
            // Enter and Escape belong to a field that handles them; in a
            // plain text box they go on to the dialog (OK, Cancel).
            if (code == KEY_ENTER || code == KEY_ESCAPE) {
                if (!c.onKeyDown) return false;
                c.keyDown(code, vbShift(k->modifiers()));
                return true;
            }
            c.keyDown(code, vbShift(k->modifiers()));
        } else if (e->type() == QEvent::FocusOut) {
            auto* f = static_cast<QFocusEvent*>(e);
            if (f->reason() == Qt::PopupFocusReason || f->reason() == Qt::ActiveWindowFocusReason) return false;
            if (!c.validate()) QTimer::singleShot(0, w, [w] { w->setFocus(); });
        }
        return false;
    });
}

void bind(TextBox& c, QPlainTextEdit* w) {
    bindCommon(c, w);
    w->setPlainText(qs(c.text()));
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        auto& t = static_cast<TextBox&>(ctl);
        if (p == Prop::Caption && w->toPlainText() != qs(t.text())) {
            const int cursor = w->textCursor().position();
            w->setPlainText(qs(t.text()));
            QTextCursor c = w->textCursor();
            c.setPosition(std::min(cursor, static_cast<int>(w->toPlainText().size())));
            w->setTextCursor(c);
        }
    });
    QObject::connect(w, &QPlainTextEdit::textChanged, w, [&c, w] {
        if (!gSyncing) c.setText(w->toPlainText().toStdString());
    });
}

void bind(Slider& c, QSlider* w) {
    bindCommon(c, w);
    // Raw 0 sits at the top of a vertical slider.  The widget counts from
    // the bottom (its value is max - raw), so its groove fills from the
    // bottom up to the handle, as a level does.
    const bool vertical = w->orientation() == Qt::Vertical;
    auto toWidget = [&c, vertical](int raw) { return vertical ? c.max() - raw : raw; };
    auto fromWidget = [&c, vertical](int v) { return vertical ? c.max() - v : v; };
    w->setRange(0, c.max());
    w->setValue(toWidget(c.value()));
    watch(c, w, [w, toWidget](Control& ctl, Prop p) {
        Syncing guard;
        auto& s = static_cast<Slider&>(ctl);
        if (p == Prop::Max) w->setRange(0, s.max());
        if ((p == Prop::Value || p == Prop::Max) && w->value() != toWidget(s.value())) w->setValue(toWidget(s.value()));
    });
    QObject::connect(w, &QSlider::valueChanged, w, [&c, w, fromWidget](int v) {
        if (gSyncing) return;
        c.userScroll(fromWidget(v));
        // A click on the groove or a turn of the wheel: one finished move.
        if (!w->isSliderDown()) c.userRelease();
    });
    QObject::connect(w, &QSlider::sliderReleased, w, [&c] { c.userRelease(); });
    new Filter(w, [&c](QEvent* e) {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            const int code = vbKeyCode(k->key(), k->modifiers() & Qt::KeypadModifier);
            const bool stepKey = code == KEY_PAGE_UP || code == KEY_PAGE_DOWN || code == KEY_LEFT || code == KEY_UP ||
                                 code == KEY_RIGHT || code == KEY_DOWN || code == KEY_NUMPAD_PLUS ||
                                 code == KEY_NUMPAD_MINUS;
            // Home and End would move the slider behind the logic's back.
            if (code == KEY_HOME || code == KEY_END) return true;
            if (!stepKey) return false;
            if (e->type() == QEvent::KeyPress) {
                if (c.onKeyDown) c.onKeyDown(code);
            } else if (!k->isAutoRepeat()) {
                if (c.onKeyUp) c.onKeyUp(code);
            }
            return true;  // one press moves exactly one step, by the logic
        }
        case QEvent::FocusIn: c.gotFocus(); break;
        case QEvent::FocusOut:
            if (c.onLostFocus) c.onLostFocus();
            break;
        case QEvent::MouseButtonPress:
            if (c.onMouseDown) c.onMouseDown();
            break;
        case QEvent::MouseButtonRelease:
            if (c.onMouseUp) c.onMouseUp();
            break;
        default: break;
        }
        return false;
    });
}

void bind(Slider& c, QProgressBar* w) {
    w->setObjectName(qs(c.name()));
    w->setRange(0, c.max());
    w->setValue(c.value());
    watch(c, w, [w](Control& ctl, Prop p) {
        auto& s = static_cast<Slider&>(ctl);
        if (p == Prop::Value) w->setValue(s.value());
        if (p == Prop::Max) w->setRange(0, s.max());
    });
}

void bind(ComboBox& c, QComboBox* w) {
    bindCommon(c, w);
    auto fill = [&c, w] {
        Syncing guard;
        w->clear();
        for (const auto& item : c.items()) w->addItem(qs(item));
        w->setCurrentIndex(c.listIndex());
    };
    fill();
    watch(c, w, [w, fill](Control& ctl, Prop p) {
        auto& cb = static_cast<ComboBox&>(ctl);
        if (p == Prop::Items) fill();
        if (p == Prop::ListIndex) {
            Syncing guard;
            w->setCurrentIndex(cb.listIndex());
        }
    });
    QObject::connect(w, &QComboBox::activated, w, [&c](int i) {
        if (!gSyncing) c.setListIndex(i);
    });
}

void bind(OptionButton& c, QRadioButton* w) {
    bindCommon(c, w);
    w->setText(qs(c.caption()));
    w->setAutoExclusive(false);  // the logic keeps the group exclusive
    w->setChecked(c.value());
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        auto& o = static_cast<OptionButton&>(ctl);
        if (p == Prop::Checked) w->setChecked(o.value());
        if (p == Prop::Caption) w->setText(qs(o.caption()));
    });
    QObject::connect(w, &QRadioButton::clicked, w, [&c, w] {
        if (gSyncing) return;
        {
            Syncing guard;
            w->setChecked(c.value());
        }
        c.setValue(true);
    });
}

void bind(CheckBox& c, QCheckBox* w) {
    bindCommon(c, w);
    w->setText(qs(c.caption()));
    w->setChecked(c.value() != 0);
    watch(c, w, [w](Control& ctl, Prop p) {
        Syncing guard;
        auto& k = static_cast<CheckBox&>(ctl);
        if (p == Prop::Checked) w->setChecked(k.value() != 0);
    });
    QObject::connect(w, &QCheckBox::clicked, w, [&c](bool checked) {
        if (!gSyncing) c.setValue(checked ? 1 : 0);
    });
}

void bind(Timer& c, QTimer* t) {
    auto update = [&c, t] {
        if (c.enabled() && c.interval() > 0) t->start(c.interval());
        else t->stop();
    };
    update();
    watch(c, t, [update](Control&, Prop p) {
        if (p == Prop::Enabled || p == Prop::Interval) update();
    });
    QObject::connect(t, &QTimer::timeout, t, [&c] {
        if (gTickGate && c.talksToUnit) gTickGate(&c, [&c] { c.tick(); });
        else c.tick();
    });
}

}  // namespace zelk
