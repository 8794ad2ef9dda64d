#include "form/controls.h"

#include <algorithm>

namespace zelk {

void Control::setCaption(const std::string& c) { assign(caption_, c, Prop::Caption); }

void Control::move(int left, int top) {
    if (left_ == left && top_ == top) return;
    left_ = left;
    top_ = top;
    notify(Prop::Position);
}

void Control::notify(Prop p) {
    // Observers may add observers while being told; iterate by index.
    for (std::size_t i = 0; i < observers_.size(); ++i)
        if (observers_[i]) observers_[i](*this, p);
}

void TextBox::setCaption(const std::string& c) {
    if (assign(caption_, c, Prop::Caption) && onChange) onChange();
}

void TextBox::setSelection(int start, int length) {
    if (selStart_ == start && selLength_ == length) return;
    selStart_ = start;
    selLength_ = length;
    notify(Prop::Selection);
}

void Slider::setValue(int v) {
    v = std::clamp(v, 0, max_);
    if (assign(value_, v, Prop::Value) && onChange) onChange();
}

void Slider::userScroll(int v) {
    v = std::clamp(v, 0, max_);
    if (dragged_ == v) return;
    dragged_ = v;
    // While dragging the value follows the thumb, but only Scroll is raised.
    if (assign(value_, v, Prop::Value) && onScroll) onScroll();
}

void Slider::userRelease() {
    if (dragged_ < 0) return;
    dragged_ = -1;
    if (onChange) onChange();
}

void ComboBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    index_ = -1;
    notify(Prop::Items);
}

void ComboBox::addItem(const std::string& item) {
    items_.push_back(item);
    notify(Prop::Items);
}

void ComboBox::setListIndex(int i) {
    if (i < -1 || i >= static_cast<int>(items_.size())) return;  // no such item: nothing changes
    if (assign(index_, i, Prop::ListIndex) && onClick) onClick();
}

void ComboBox::setText(const std::string& t) {
    const auto it = std::find(items_.begin(), items_.end(), t);
    if (it != items_.end()) setListIndex(static_cast<int>(it - items_.begin()));
}

void OptionButton::setValue(bool v) {
    if (!v) {
        assign(value_, false, Prop::Checked);
        return;
    }
    if (value_) return;
    for (OptionButton* sibling : group)
        if (sibling != this) sibling->setValue(false);
    assign(value_, true, Prop::Checked);
    if (onClick) onClick();
}

void CheckBox::setValue(int v) {
    if (assign(value_, v, Prop::Checked) && onClick) onClick();
}

}  // namespace zelk
