// channel_ops.h - the configuration record's defaults (ResetAll, the
// lookup tables) and the per-channel equaliser operations.
#ifndef ZELK_MODEL_CHANNEL_OPS_H
#define ZELK_MODEL_CHANNEL_OPS_H

namespace zelk {

class Editor;

class ChannelOps {
public:
    explicit ChannelOps(Editor& ed) : ed_(ed) {}
    void wire();

    void InitialiseLookupArrays();
    void ResetAll();

    void LoadChannelData();
    void SaveChannelData(int channel);
    void ResetChannelData(int channel);
    void PasteChannelData(int source);

    void cmdClear_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdReset_Click();

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
