// upload.h - reading the blocks from the unit and showing them, and
// sending them back, automatically or on request.
#ifndef ZELK_CONNECTION_UPLOAD_H
#define ZELK_CONNECTION_UPLOAD_H

#include <cstdint>

#include "services.h"

namespace zelk {

class Editor;
struct AudioBlock;

struct StampDate {
    int year = 0, day = 0, month = 0, weekday = 0;  // month as stored: January = 2
};
struct StampTime {
    int hour = 0, minute = 0, afternoon = 0;  // hour on the 12-hour clock
};

// The date and time parts of an upload stamp for a moment.
void stampParts(const LocalTime& t, StampDate& d, StampTime& tm);
void PackUploadStamp(AudioBlock& destination, const StampDate& d, const StampTime& t);

class Upload {
public:
    explicit Upload(Editor& ed) : ed_(ed) {}
    void wire();

    void UploadToUnit(int which, int force);
    void cmdUp_Click(int index);
    void ShowSettings();
    void ApplyUnitSystemSettings();
    void ApplyUnitAudioSettings();
    void mnuAuto_Click();
    void mnuConfirm_Click();
    void mnuShort_Click();
    // The enabling rule of "Confirm Message Box" and "Enable Shortcuts".
    void applyAutoUploadRule();

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
