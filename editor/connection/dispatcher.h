// dispatcher.h - every call into the link library goes through
// RetryFunction: up to six attempts, "Data?" while it struggles, and one
// error report (DispErr) that takes the editor off line.  It names no
// control: what it has to say about the link it raises as link events.
#ifndef ZELK_CONNECTION_DISPATCHER_H
#define ZELK_CONNECTION_DISPATCHER_H

#include <cstdint>
#include <functional>
#include <optional>
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
// What RetryFunction returns for an exchange the user cancelled: not a
// library error (bit 15 adds no line to a report), never 0.
inline constexpr std::uint16_t kCancelledWord = 0x8000;
// The error word of a measurement read while the unit streams nothing: no
// record came (a stream context and no data), which ends no link.
inline constexpr std::uint16_t kStreamLostWord = LINK_ERR_STREAM | LINK_ERR_NO_DATA;

// The error box text for an error word (bits 0..10, one line each).
std::string errorReportText(std::uint16_t errorWord);

// The block transfers: the calls that read or send the system or audio block.
constexpr bool isBlockTransfer(int code) {
    return code == FN_GetAudio || code == FN_GetSystem || code == FN_SetAudio || code == FN_SetSystem;
}

// A measurement running on the optical tab.  While the unit streams its
// records it does not answer block transfers reliably (the records get in
// the way), so the dispatcher tells it before every block transfer; it
// stops the stream in the unit once and starts it again itself before its
// next reading.
class MeasurementStream {
public:
    virtual ~MeasurementStream() = default;
    virtual void holdForBlockTransfer() = 0;
};

class Dispatcher {
public:
    // The extra line for "Unable to connect to unit!" when the reason can
    // be told (no device, no permission, no server...), or "".  `portHint`
    // is asked on the caller's thread for a job that finds it; the job runs
    // where library calls run, after the library has let go of the port,
    // and may take as long as opening the port does.
    using HintJob = std::function<std::string()>;
    using PortHint = std::function<HintJob()>;
    // Every library call runs through `runner`.
    Dispatcher(const LinkApi& link, LinkRunner& runner, ModVals& vals, ClockService& clock, MessageBoxService& msg,
               LinkEvents& events, PortHint portHint = {});

    // Returns the error word of the last attempt (0 = success, and 0 when
    // the call is skipped because the editor is off line).  A cancel asked
    // for meanwhile is looked at between attempts: the exchange ends off
    // line, as a given-up link does, without a report, and returns
    // kCancelledWord.
    std::uint16_t RetryFunction(int code, std::int32_t arg1 = 0, std::int32_t arg2 = 0);
    void DispErr(std::uint16_t errorWord);
    // The user stopped waiting for the unit: off line as after a failure,
    // nothing reported.
    void abandonLink();
    void Pause(int milliseconds);

    // Whether the unit passed the version check since the link was opened:
    // a failure before that is "Unable to connect", after it a full report.
    bool UnitAccepted() const { return unitAccepted_; }
    void setUnitAccepted(bool a) { unitAccepted_ = a; }

    // Runs a library call that does not go through RetryFunction (the few
    // the editor makes directly) where library calls run.  False when the
    // wait for it was cancelled; the call owns what it touches (it may
    // finish after the caller has stopped waiting).
    bool runDirect(std::function<void()> libraryCall) { return runner_.call(std::move(libraryCall)); }
    const LinkApi& link() const { return link_; }
    LinkRunner& runner() { return runner_; }
    // Told before every block transfer made on line.
    void setMeasurementStream(MeasurementStream* s) { stream_ = s; }

private:
    // The error word, or nothing when the wait for the call was cancelled.
    std::optional<std::uint16_t> attempt(int code, std::int32_t arg1, std::int32_t arg2);
    template <typename Fn, typename... Args>
    std::optional<std::uint16_t> invoke(Fn fn, Args... args);
    // Off line: the library let go (back at 9600 first), the events told.
    void shutDownLibrary();
    const LinkApi& link_;
    LinkRunner& runner_;
    ModVals& v_;
    ClockService& clock_;
    MessageBoxService& msg_;
    LinkEvents& events_;
    PortHint portHint_;
    MeasurementStream* stream_ = nullptr;
    bool unitAccepted_ = false;
};

}  // namespace zelk

#endif
