#include "files/theater.h"

#include <cstdio>

#include "form/translate.h"
#include "model/stamp.h"

namespace zelk {

std::string acceptableTheaterText(const std::string& typed) {
    std::string out = typed;
    for (char& c : out)
        if (c == '"') c = '\'';
    return out;
}

TheaterInfoEditor::TheaterInfoEditor(ModVals& vals, Document& doc, ClockService& clock, Controls c)
    : v_(vals), doc_(doc), clock_(clock), c_(c) {
    c_.bar.mnuSet.onClick = [this] { mnuSet_Click(); };
    c_.tab.cmdEdit.onClick = [this] { cmdEdit_Click(); };
    c_.bar.tmrClock.onTimer = [this] { tmrClock_Timer(); };
    auto& d = c_.dialog;
    for (int i = 0; i < kTheaterLines; ++i) d.txtTheaterInfo[i].onChange = [this, i] { txtTheaterInfo_Change(i); };
    d.cmdOK.onClick = [this] { cmdOK_Click(); };
    d.cmdCan.onClick = [this] { cmdCan_Click(); };
}

void TheaterInfoEditor::ApplyTheaterTabFields() {
    for (int i = 0; i < kTheaterLines; ++i) c_.tab.txtTheaterInfo[i].setText(v_.TheaterInfo[i]);
}

void TheaterInfoEditor::mnuSet_Click() {
    c_.bar.form.setEnabled(false);
    Form_Load();
    c_.dialog.form.setVisible(true);
}

void TheaterInfoEditor::cmdEdit_Click() { mnuSet_Click(); }

void TheaterInfoEditor::Form_Load() {
    auto& d = c_.dialog;
    for (int i = 0; i < kTheaterLines; ++i) d.txtTheaterInfo[i].setText(v_.TheaterInfo[i]);
    TheaterChanged = false;
}

void TheaterInfoEditor::txtTheaterInfo_Change(int index) {
    auto& box = c_.dialog.txtTheaterInfo[index];
    const std::string clean = acceptableTheaterText(box.text());
    if (clean != box.text()) box.setText(clean);  // raises Change again, with the clean text
    TheaterChanged = true;
}

void TheaterInfoEditor::close() {
    c_.dialog.form.setVisible(false);
    c_.bar.form.setEnabled(true);
}

void TheaterInfoEditor::cmdOK_Click() {
    if (TheaterChanged) {
        for (int i = 0; i < kTheaterLines; ++i) v_.TheaterInfo[i] = c_.dialog.txtTheaterInfo[i].text();
        ApplyTheaterTabFields();
        doc_.markDirty();
    }
    close();
}

void TheaterInfoEditor::cmdCan_Click() { close(); }

void TheaterInfoEditor::ShowDate() {
    const std::string text = stampText(UnpackUploadStamp(v_.audioBlock));
    c_.tab.txtTheaterInfo[9].setText(text);
    v_.TheaterInfo[9] = text;
}

void TheaterInfoEditor::tmrClock_Timer() {
    const LocalTime t = clock_.now();
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d ", h12, t.minute, t.second);
    c_.lblClock.setCaption(buf + (t.hour >= 12 ? translate("Clock", "PM") : translate("Clock", "AM")));
}

}  // namespace zelk
