// levels.h - controls that act on the running unit at once: the fader
// (four tabs and the fader dialog), mute, pink noise, phase and RT-60.
#ifndef ZELK_CONTROLS_LEVELS_H
#define ZELK_CONTROLS_LEVELS_H

namespace zelk {

class Editor;
class TextBox;
class Button;

class Levels {
public:
    explicit Levels(Editor& ed) : ed_(ed) {}
    void wire();

    void cmdSet7_Click(int index);
    void cmdAdjust_Click(int index);
    void cmdMute_Click();
    void cmdPN_Click(int index);
    void cmdPhase_Click(int index);
    void cmdRT60_Click();
    void cmdPNC_Click();
    void cmdPNS_Click();
    void sclVol_Change();
    void frmFader_Unload();
    // Validation of a fader field (lblVol of the main window or the dialog).
    void lblVol_Validate(TextBox& field, bool& cancel);

private:
    void stepLevel(int key);
    void togglePink(Button& b, int channel);
    Editor& ed_;
};

}  // namespace zelk

#endif
