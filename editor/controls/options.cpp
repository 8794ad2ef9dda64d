#include "controls/options.h"

#include "controls/unit_command.h"
#include "form/translate.h"

namespace zelk {

Options::Options(ModVals& vals, Document& doc, Dispatcher& d, AutoUpload& upload, LiveStatus& live, Controls c)
    : v_(vals), doc_(doc), d_(d), upload_(upload), live_(live), c_(c) {
    auto& o = c_.options;
    for (int i = 0; i < 6; ++i) c_.cmdMode[static_cast<std::size_t>(i)].onClick = [this, i] { cmdMode_Click(i); };
    o.cboNonsyncMode.onClick = [this] { cboNonsyncMode_Click(); };
    o.cboNonsyncTrim.onClick = [this] { cboNonsyncTrim_Click(); };
    o.cboSurroundDelay.onClick = [this] { cboSurroundDelay_Click(); };
    o.cboReaderDelay.onClick = [this] { cboReaderDelay_Click(); };
    o.chkDisableMatrix.onClick = [this] { chkDisableMatrix_Click(); };
    for (int i = 0; i < 5; ++i) o.optDefaultFormat[i].onClick = [this, i] { optDefaultFormat_Click(i); };
    for (int i = 0; i < 4; ++i) o.optF1Key[i].onClick = [this, i] { optF1Key_Click(i); };
    c_.obe.cmdOBEEnable.onClick = [this] { cmdOBEEnable_Click(); };
    c_.obe.cboObeF.onClick = [this] { cboObeF_Click(); };
}

void Options::cmdMode_Click(int index) {
    auto& v = v_;
    if (index == v.CurrentFormat) return;
    // The lit button shows the format the unit accepted.
    const std::int16_t before = v.CurrentFormat;
    v.CurrentFormat = static_cast<std::int16_t>(index);
    if (!unitTook(d_, v, FN_SelectFormat)) v.CurrentFormat = before;
    live_.ReflectModeStatus();
}

void Options::systemEdited() {
    doc_.markDirty();
    upload_.UploadToUnit(1, 0);
}

namespace {
std::uint8_t byteOf(int listIndex) { return static_cast<std::uint8_t>(listIndex < 0 ? 0 : listIndex); }
}  // namespace

void Options::cboNonsyncMode_Click() {
    v_.systemBlock.nonsyncMode() = byteOf(c_.options.cboNonsyncMode.listIndex());
    systemEdited();
}

void Options::cboNonsyncTrim_Click() {
    v_.systemBlock.nonsyncTrim() = byteOf(c_.options.cboNonsyncTrim.listIndex());
    systemEdited();
}

void Options::cboSurroundDelay_Click() {
    v_.systemBlock.surroundDelay() = byteOf(c_.options.cboSurroundDelay.listIndex());
    systemEdited();
}

void Options::cboReaderDelay_Click() {
    const int i = c_.options.cboReaderDelay.listIndex();
    v_.systemBlock.setReaderDelay(static_cast<std::uint16_t>(i < 0 ? 0 : i));
    systemEdited();
}

void Options::chkDisableMatrix_Click() {
    v_.systemBlock.matrixDisabled() = static_cast<std::uint8_t>(c_.options.chkDisableMatrix.value());
    systemEdited();
}

void Options::optDefaultFormat_Click(int index) {
    v_.systemBlock.powerOnFormat() = static_cast<std::uint8_t>(index);
    systemEdited();
}

void Options::optF1Key_Click(int index) {
    v_.systemBlock.f1KeyAssignment() = static_cast<std::uint8_t>(index);
    systemEdited();
    static const char* const captions[4] = {ZELK_TEXT("Captions", "Optical Mono"), ZELK_TEXT("Captions", "External N.R."),
                                            ZELK_TEXT("Captions", "Ext 2-Trk A Type NR"),
                                            ZELK_TEXT("Captions", "Ext 2-Trk SR Type NR")};
    c_.cmdMode[0].setCaption(translate("Captions", captions[index]));
}

void Options::cmdOBEEnable_Click() {
    auto& v = v_;
    v.ObeEnabled = vb(v.ObeEnabled == 0);
    v.audioBlock.obeFrequency() = v.ObeEnabled ? v.ObeFrequencyIndex : 0;
    doc_.markDirty();
    upload_.UploadToUnit(2, 0);
    live_.ReflectOBEStatus();
}

void Options::cboObeF_Click() {
    auto& v = v_;
    if (!v.ObeEnabled) return;
    const int i = c_.obe.cboObeF.listIndex();
    if (i < 0) return;
    v.ObeFrequencyIndex = static_cast<std::uint8_t>(i + 1);
    v.audioBlock.obeFrequency() = v.ObeFrequencyIndex;
    doc_.markDirty();
    upload_.UploadToUnit(2, 0);
}

}  // namespace zelk
