// document.h - the configuration being edited, as the window shows it:
// whether it holds changes not yet saved (SettingsDirty) and the name in
// the window title.  One owner for both, so the title always tells the
// truth.
#ifndef ZELK_MODEL_DOCUMENT_H
#define ZELK_MODEL_DOCUMENT_H

#include <functional>
#include <string>
#include <vector>

#include "form/controls.h"

namespace zelk {

class Document {
public:
    // `window` is the control whose caption is the window title.
    explicit Document(Label& window) : window_(window) {}

    bool dirty() const { return dirty_; }
    void markDirty() { setDirty(true); }
    void markClean() { setDirty(false); }

    // The title becomes "<app title>   <name>".
    void showName(const std::string& name);
    const std::string& name() const { return name_; }

    // Told whenever dirty() changes.
    void onDirtyChanged(std::function<void(bool)> f) { listeners_.push_back(std::move(f)); }

private:
    void setDirty(bool d);
    Label& window_;
    bool dirty_ = false;
    std::string name_;
    std::vector<std::function<void(bool)>> listeners_;
};

}  // namespace zelk

#endif
