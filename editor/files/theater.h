// theater.h - the theater information texts, their dialog, the install
// date shown from the upload stamp, and the clock.
#ifndef ZELK_FILES_THEATER_H
#define ZELK_FILES_THEATER_H

#include <string>

#include "connection/upload.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

// A theater text as the dialog accepts it: the file format cannot carry a
// double quote, so typed double quotes become single quotes.
std::string acceptableTheaterText(const std::string& typed);

class TheaterInfoEditor : public StampDisplay {
public:
    struct Controls {
        MainBar& bar;  // the window (disabled while the dialog is up), the menu entry, the clock timer
        TheaterTab& tab;
        FrmTheater& dialog;
        Label& lblClock;
    };
    TheaterInfoEditor(ModVals& vals, Document& doc, ClockService& clock, Controls c);

    void ApplyTheaterTabFields();
    void mnuSet_Click();
    void cmdEdit_Click();
    void ShowDate() override;
    void tmrClock_Timer();

    // frmTheater
    void Form_Load();
    void txtTheaterInfo_Change(int index);
    void cmdOK_Click();
    void cmdCan_Click();

    bool TheaterChanged = false;

private:
    void close();
    ModVals& v_;
    Document& doc_;
    ClockService& clock_;
    Controls c_;
};

}  // namespace zelk

#endif
