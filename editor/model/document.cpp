#include "model/document.h"

#include "form/forms.h"

namespace zelk {

void Document::showName(const std::string& name) {
    name_ = name;
    window_.setCaption(kAppTitle + "   <" + name + ">");
}

void Document::setDirty(bool d) {
    if (dirty_ == d) return;
    dirty_ = d;
    for (auto& f : listeners_) f(d);
}

}  // namespace zelk
