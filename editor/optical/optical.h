// optical.h - the optical setup tab as far as the rest of the editor
// reaches it: the "Stream Lock" indicator and the tab's mute button.
#ifndef ZELK_OPTICAL_OPTICAL_H
#define ZELK_OPTICAL_OPTICAL_H

namespace zelk {

class Editor;

class Optical {
public:
    explicit Optical(Editor& ed) : ed_(ed) {}
    void wire();

    void StreamLock(bool locked);
    void cmdMute4_Click();

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
