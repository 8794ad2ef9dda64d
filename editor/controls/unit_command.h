// unit_command.h - a command the user gives the running unit from a
// button: the button's look follows only what the unit accepted.
#ifndef ZELK_CONTROLS_UNIT_COMMAND_H
#define ZELK_CONTROLS_UNIT_COMMAND_H

#include <cstdint>

#include "connection/dispatcher.h"
#include "model/record.h"

namespace zelk {

// True only when the command reached the unit and the unit took it.  Off
// line nothing is sent (and nothing may change on screen); a failure has
// been reported by the dispatcher and has taken the editor off line.
inline bool unitTook(Dispatcher& d, const ModVals& v, int code, std::int32_t arg1 = 0, std::int32_t arg2 = 0) {
    return v.OnLine && d.RetryFunction(code, arg1, arg2) == 0 && v.OnLine;
}

}  // namespace zelk

#endif
