// theater.h - the theater information texts, their dialog, the install
// date shown from the upload stamp, and the clock.
#ifndef ZELK_FILES_THEATER_H
#define ZELK_FILES_THEATER_H

#include <string>

namespace zelk {

class Editor;
struct AudioBlock;

struct UnpackedStamp {
    int month = 0, hour = 0, weekday = 0, day = 0, afternoon = 0, minute = 0, year = 0;
};
UnpackedStamp UnpackUploadStamp(AudioBlock& audio);
// "3:07 PM 25/03/04" for the stamp of Thursday 25 March 2004, 3:07 PM.
std::string stampText(const UnpackedStamp& s);
// A theater text as the dialog accepts it: the file format cannot carry a
// double quote, so typed double quotes become single quotes.
std::string acceptableTheaterText(const std::string& typed);

class TheaterInfoEditor {
public:
    explicit TheaterInfoEditor(Editor& ed) : ed_(ed) {}
    void wire();

    void ApplyTheaterTabFields();
    void mnuSet_Click();
    void cmdEdit_Click();
    void ShowDate();
    void tmrClock_Timer();

    // frmTheater
    void Form_Load();
    void txtTheaterInfo_Change(int index);
    void cmdOK_Click();
    void cmdCan_Click();

private:
    void close();
    Editor& ed_;
};

}  // namespace zelk

#endif
