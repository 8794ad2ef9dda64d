#include "options.h"

#include "editor.h"

namespace zelk {

void Options::wire() {
    auto& m = ed_.main;
    for (int i = 0; i < 6; ++i) m.cmdMode[i].onClick = [this, i] { cmdMode_Click(i); };
    m.cboNonsyncMode.onClick = [this] { cboNonsyncMode_Click(); };
    m.cboNonsyncTrim.onClick = [this] { cboNonsyncTrim_Click(); };
    m.cboSurroundDelay.onClick = [this] { cboSurroundDelay_Click(); };
    m.cboReaderDelay.onClick = [this] { cboReaderDelay_Click(); };
    m.chkDisableMatrix.onClick = [this] { chkDisableMatrix_Click(); };
    for (int i = 0; i < 5; ++i) m.optDefaultFormat[i].onClick = [this, i] { optDefaultFormat_Click(i); };
    for (int i = 0; i < 4; ++i) m.optF1Key[i].onClick = [this, i] { optF1Key_Click(i); };
    m.cmdOBEEnable.onClick = [this] { cmdOBEEnable_Click(); };
    m.cboObeF.onClick = [this] { cboObeF_Click(); };
}

void Options::cmdMode_Click(int index) {
    auto& v = ed_.vals;
    if (index == v.CurrentFormat) return;
    v.CurrentFormat = static_cast<std::int16_t>(index);
    ed_.dispatch.RetryFunction(FN_SelectFormat);
    ed_.polling.ReflectModeStatus();
}

void Options::systemEdited() {
    ed_.main.SettingsDirty = kTrue;
    ed_.upload.UploadToUnit(1, 0);
}

namespace {
std::uint8_t byteOf(int listIndex) { return static_cast<std::uint8_t>(listIndex < 0 ? 0 : listIndex); }
}  // namespace

void Options::cboNonsyncMode_Click() {
    ed_.vals.systemBlock.nonsyncMode() = byteOf(ed_.main.cboNonsyncMode.listIndex());
    systemEdited();
}

void Options::cboNonsyncTrim_Click() {
    ed_.vals.systemBlock.nonsyncTrim() = byteOf(ed_.main.cboNonsyncTrim.listIndex());
    systemEdited();
}

void Options::cboSurroundDelay_Click() {
    ed_.vals.systemBlock.surroundDelay() = byteOf(ed_.main.cboSurroundDelay.listIndex());
    systemEdited();
}

void Options::cboReaderDelay_Click() {
    const int i = ed_.main.cboReaderDelay.listIndex();
    ed_.vals.systemBlock.setReaderDelay(static_cast<std::uint16_t>(i < 0 ? 0 : i));
    systemEdited();
}

void Options::chkDisableMatrix_Click() {
    ed_.vals.systemBlock.matrixDisabled() = static_cast<std::uint8_t>(ed_.main.chkDisableMatrix.value());
    systemEdited();
}

void Options::optDefaultFormat_Click(int index) {
    ed_.vals.systemBlock.powerOnFormat() = static_cast<std::uint8_t>(index);
    systemEdited();
}

void Options::optF1Key_Click(int index) {
    ed_.vals.systemBlock.f1KeyAssignment() = static_cast<std::uint8_t>(index);
    systemEdited();
    static const char* const captions[4] = {"Optical Mono", "External N.R.", "Ext 2-Trk A Type NR",
                                            "Ext 2-Trk SR Type NR"};
    ed_.main.cmdMode[0].setCaption(captions[index]);
}

void Options::cmdOBEEnable_Click() {
    auto& v = ed_.vals;
    v.ObeEnabled = vb(v.ObeEnabled == 0);
    v.audioBlock.obeFrequency() = v.ObeEnabled ? v.ObeFrequencyIndex : 0;
    ed_.main.SettingsDirty = kTrue;
    ed_.upload.UploadToUnit(2, 0);
    ed_.polling.ReflectOBEStatus();
}

void Options::cboObeF_Click() {
    auto& v = ed_.vals;
    if (!v.ObeEnabled) return;
    const int i = ed_.main.cboObeF.listIndex();
    if (i < 0) return;
    v.ObeFrequencyIndex = static_cast<std::uint8_t>(i + 1);
    v.audioBlock.obeFrequency() = v.ObeFrequencyIndex;
    ed_.main.SettingsDirty = kTrue;
    ed_.upload.UploadToUnit(2, 0);
}

}  // namespace zelk
