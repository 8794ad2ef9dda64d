#include "model/stamp.h"

#include <cstdio>

namespace zelk {

void stampParts(const LocalTime& t, StampDate& d, StampTime& tm) {
    d.year = t.year % 100;
    d.day = t.day;
    d.month = t.month + 1;  // January is stored as 2
    // Weekday codes: FRI 0, SAT 1, SUN 2, MON 3, TUE 4, WED 5, THU 6.
    static constexpr int codes[7] = {2, 3, 4, 5, 6, 0, 1};  // by weekday, Sunday first
    d.weekday = codes[((t.weekday % 7) + 7) % 7];
    tm.hour = t.hour > 12 ? t.hour - 12 : t.hour;
    tm.minute = t.minute;
    tm.afternoon = t.hour >= 12 ? 1 : 0;
}

void PackUploadStamp(AudioBlock& destination, const StampDate& d, const StampTime& t) {
    destination.uploadStamp(0) = static_cast<std::uint8_t>(d.month * 16 + t.hour);
    destination.uploadStamp(1) = static_cast<std::uint8_t>(d.weekday * 32 + d.day);
    destination.uploadStamp(2) = static_cast<std::uint8_t>(t.afternoon * 64 + t.minute);
    destination.uploadStamp(3) = static_cast<std::uint8_t>(d.year);
}

UnpackedStamp UnpackUploadStamp(const AudioBlock& a) {
    UnpackedStamp s;
    s.month = a.bytes[0] / 16;
    s.hour = a.bytes[0] % 16;
    s.weekday = a.bytes[1] / 32;
    s.day = a.bytes[1] % 32;
    s.afternoon = a.bytes[2] / 64;
    s.minute = a.bytes[2] % 64;
    s.year = a.bytes[3];
    return s;
}

std::string stampText(const UnpackedStamp& s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%02d %s %02d/%02d/%02d", s.hour, s.minute, s.afternoon == 1 ? "PM" : "AM", s.day,
                  s.month - 1, s.year);
    return buf;
}

}  // namespace zelk
