// options.h - format selection, the Options tab and the OBE tab.
#ifndef ZELK_CONTROLS_OPTIONS_H
#define ZELK_CONTROLS_OPTIONS_H

namespace zelk {

class Editor;

class Options {
public:
    explicit Options(Editor& ed) : ed_(ed) {}
    void wire();

    void cmdMode_Click(int index);
    void cboNonsyncMode_Click();
    void cboNonsyncTrim_Click();
    void cboSurroundDelay_Click();
    void cboReaderDelay_Click();
    void chkDisableMatrix_Click();
    void optDefaultFormat_Click(int index);
    void optF1Key_Click(int index);
    void cmdOBEEnable_Click();
    void cboObeF_Click();

private:
    void systemEdited();
    Editor& ed_;
};

}  // namespace zelk

#endif
