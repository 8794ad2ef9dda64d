// stamp.h - the upload date stamp in the first four bytes of the audio
// block: packed at every upload, shown as the install date.
#ifndef ZELK_MODEL_STAMP_H
#define ZELK_MODEL_STAMP_H

#include <string>

#include "form/services.h"
#include "model/record.h"

namespace zelk {

struct StampDate {
    int year = 0, day = 0, month = 0, weekday = 0;  // month as stored: January = 2
};
struct StampTime {
    int hour = 0, minute = 0, afternoon = 0;  // hour on the 12-hour clock
};

// The date and time parts of an upload stamp for a moment.
void stampParts(const LocalTime& t, StampDate& d, StampTime& tm);
void PackUploadStamp(AudioBlock& destination, const StampDate& d, const StampTime& t);

struct UnpackedStamp {
    int month = 0, hour = 0, weekday = 0, day = 0, afternoon = 0, minute = 0, year = 0;
};
UnpackedStamp UnpackUploadStamp(const AudioBlock& audio);
// "3:07 PM 25/03/04" for the stamp of Thursday 25 March 2004, 3:07 PM.
std::string stampText(const UnpackedStamp& s);

}  // namespace zelk

#endif
