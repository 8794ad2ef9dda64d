// dispatcher.h - every call into the link library goes through
// RetryFunction: up to six attempts, "Data?" while it struggles, and one
// error report (DispErr) that takes the editor off line.  It names no
// control: what it has to say about the link it raises as link events.
#ifndef ZELK_CONNECTION_DISPATCHER_H
#define ZELK_CONNECTION_DISPATCHER_H

#include <cstdint>
#include <functional>
#include <string>

#include "connection/link_api.h"
#include "connection/link_events.h"
#include "connection/link_runner.h"
#include "form/services.h"
#include "model/record.h"

namespace zelk {

// Function codes of RetryFunction.
enum FunctionCode : int {
    FN_GetFormat = 0, FN_GetVol = 1, FN_GetMute = 2, FN_SelectFormat = 3, FN_SetVol = 4, FN_SetMute = 5,
    FN_SetPink = 6, FN_SetPhase = 7, FN_GetUnitVersion = 8, FN_InitDLL = 9, FN_GetAudio = 10, FN_GetSystem = 11,
    FN_SetAudio = 12, FN_SetSystem = 13, FN_SetProjector = 14, FN_BeginGainStream = 15, FN_BeginSlitStream = 16,
    FN_BeginAzimuthStream = 17, FN_StopStream = 18, FN_EnableOBE = 19, FN_SetRT60 = 20, FN_DLLShutdown = 21,
    FN_SetDLLBaud = 22,
};

inline constexpr int kMaxAttempts = 6;
inline constexpr int kRetryPauseMs = 300;

// The error box text for an error word (bits 0..10, one line each).
std::string errorReportText(std::uint16_t errorWord);

class Dispatcher {
public:
    // `portHint` gives an extra line for "Unable to connect to unit!" when
    // the reason can be told (no device, no permission...), or "".
    // Every library call runs through `runner`.
    Dispatcher(const LinkApi& link, LinkRunner& runner, ModVals& vals, ClockService& clock, MessageBoxService& msg,
               LinkEvents& events, std::function<std::string()> portHint = {});

    // Returns the error word of the last attempt (0 = success, and 0 when
    // the call is skipped because the editor is off line).
    std::uint16_t RetryFunction(int code, std::int32_t arg1 = 0, std::int32_t arg2 = 0);
    void DispErr(std::uint16_t errorWord);
    void Pause(int milliseconds);

    // Whether the unit passed the version check since the link was opened:
    // a failure before that is "Unable to connect", after it a full report.
    bool UnitAccepted() const { return unitAccepted_; }
    void setUnitAccepted(bool a) { unitAccepted_ = a; }

    // Runs a library call that does not go through RetryFunction (the few
    // the editor makes directly) where library calls run.
    void runDirect(const std::function<void()>& libraryCall) { runner_.call(libraryCall); }
    const LinkApi& link() const { return link_; }
    LinkRunner& runner() { return runner_; }

private:
    std::uint16_t attempt(int code, std::int32_t arg1, std::int32_t arg2);
    template <typename Fn, typename... Args>
    std::uint16_t invoke(Fn fn, Args... args);
    const LinkApi& link_;
    LinkRunner& runner_;
    ModVals& v_;
    ClockService& clock_;
    MessageBoxService& msg_;
    LinkEvents& events_;
    std::function<std::string()> portHint_;
    bool unitAccepted_ = false;
};

}  // namespace zelk

#endif
