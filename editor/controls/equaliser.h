// equaliser.h - the E.Q tab: channel selection, the three panes, applying
// an equaliser change, the sub-bass options and equaliser pink noise.
#ifndef ZELK_CONTROLS_EQUALISER_H
#define ZELK_CONTROLS_EQUALISER_H

namespace zelk {

class Editor;

class Equaliser {
public:
    explicit Equaliser(Editor& ed) : ed_(ed) {}
    void wire();

    void cmdEQChan_Click(int index);
    void ClearEQFormStatus();
    void ApplyChannelChange();
    void SetEQPinkNoise(int state);
    void cmdPink_Click();
    void optBand_Click(int index);
    void optSPB_Click(int index);

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
