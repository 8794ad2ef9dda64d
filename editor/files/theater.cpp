#include "theater.h"

#include <cstdio>

#include "editor.h"

namespace zelk {

UnpackedStamp UnpackUploadStamp(AudioBlock& a) {
    UnpackedStamp s;
    s.month = a.uploadStamp(0) / 16;
    s.hour = a.uploadStamp(0) % 16;
    s.weekday = a.uploadStamp(1) / 32;
    s.day = a.uploadStamp(1) % 32;
    s.afternoon = a.uploadStamp(2) / 64;
    s.minute = a.uploadStamp(2) % 64;
    s.year = a.uploadStamp(3);
    return s;
}

std::string stampText(const UnpackedStamp& s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%02d %s %02d/%02d/%02d", s.hour, s.minute, s.afternoon == 1 ? "PM" : "AM", s.day,
                  s.month - 1, s.year);
    return buf;
}

std::string acceptableTheaterText(const std::string& typed) {
    std::string out = typed;
    for (char& c : out)
        if (c == '"') c = '\'';
    return out;
}

void TheaterInfoEditor::wire() {
    auto& m = ed_.main;
    m.mnuSet.onClick = [this] { mnuSet_Click(); };
    m.cmdEdit.onClick = [this] { cmdEdit_Click(); };
    m.tmrClock.onTimer = [this] { tmrClock_Timer(); };
    auto& t = ed_.theater;
    for (int i = 0; i < kTheaterLines; ++i) {
        t.txtTheaterInfo[i].onChange = [this, i] { txtTheaterInfo_Change(i); };
    }
    t.cmdOK.onClick = [this] { cmdOK_Click(); };
    t.cmdCan.onClick = [this] { cmdCan_Click(); };
}

void TheaterInfoEditor::ApplyTheaterTabFields() {
    for (int i = 0; i < kTheaterLines; ++i) ed_.main.txtTheaterInfo[i].setText(ed_.vals.TheaterInfo[i]);
}

void TheaterInfoEditor::mnuSet_Click() {
    ed_.main.form.setEnabled(false);
    Form_Load();
    ed_.theater.form.setVisible(true);
}

void TheaterInfoEditor::cmdEdit_Click() { mnuSet_Click(); }

void TheaterInfoEditor::Form_Load() {
    auto& t = ed_.theater;
    for (int i = 0; i < kTheaterLines; ++i) t.txtTheaterInfo[i].setText(ed_.vals.TheaterInfo[i]);
    t.TheaterChanged = kFalse;
}

void TheaterInfoEditor::txtTheaterInfo_Change(int index) {
    auto& box = ed_.theater.txtTheaterInfo[index];
    const std::string clean = acceptableTheaterText(box.text());
    if (clean != box.text()) box.setText(clean);  // raises Change again, with the clean text
    ed_.theater.TheaterChanged = kTrue;
}

void TheaterInfoEditor::close() {
    ed_.theater.form.setVisible(false);
    ed_.main.form.setEnabled(true);
}

void TheaterInfoEditor::cmdOK_Click() {
    auto& t = ed_.theater;
    if (t.TheaterChanged) {
        for (int i = 0; i < kTheaterLines; ++i) ed_.vals.TheaterInfo[i] = t.txtTheaterInfo[i].text();
        ApplyTheaterTabFields();
        ed_.main.SettingsDirty = kTrue;
    }
    close();
}

void TheaterInfoEditor::cmdCan_Click() { close(); }

void TheaterInfoEditor::ShowDate() {
    const std::string text = stampText(UnpackUploadStamp(ed_.vals.audioBlock));
    ed_.main.txtTheaterInfo[9].setText(text);
    ed_.vals.TheaterInfo[9] = text;
}

void TheaterInfoEditor::tmrClock_Timer() {
    const LocalTime t = ed_.svc.clock.now();
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h12, t.minute, t.second, t.hour >= 12 ? "PM" : "AM");
    ed_.main.lblClock.setCaption(buf);
}

}  // namespace zelk
