#include "connection/dispatcher.h"

#include <array>
#include <memory>

#include "form/error_text.h"
#include "form/translate.h"

namespace zelk {

std::string errorReportText(std::uint16_t errorWord) {
    std::string text = translate("Dispatcher", "The following Errors were encountered:\n\n");
    for (int bit = 0; bit < static_cast<int>(kErrorBitLines.size()); ++bit) {
        if (errorWord & (1u << bit)) {
            text += translate("Errors", std::string(errorBitLine(bit)).c_str());
            text += '\n';
        }
    }
    text += translate("Dispatcher", "\n\nCannot Continue On Line!\n");
    return text;
}

Dispatcher::Dispatcher(const LinkApi& link, LinkRunner& runner, ModVals& vals, ClockService& clock,
                       MessageBoxService& msg, LinkEvents& events, PortHint portHint)
    : link_(link),
      runner_(runner),
      v_(vals),
      clock_(clock),
      msg_(msg),
      events_(events),
      portHint_(std::move(portHint)) {}

// One library call with plain arguments, run where library calls run.  A
// missing entry point (library not loaded) reads as "could not initialise".
template <typename Fn, typename... Args>
std::optional<std::uint16_t> Dispatcher::invoke(Fn fn, Args... args) {
    if (!fn) return std::uint16_t{LINK_ERR_INIT};
    return runner_.result([fn, args...] { return static_cast<std::uint16_t>(fn(args...)); });
}

namespace {
// A read into a buffer of its own (the record is copied from it only on
// success, on this thread); the job keeps the buffer alive should the wait
// for it be given up.
template <typename T, typename Fn>
std::optional<std::uint16_t> readInto(LinkRunner& runner, Fn fn, const std::shared_ptr<T>& buf) {
    if (!fn) return std::uint16_t{LINK_ERR_INIT};
    return runner.result([fn, buf] {
        if constexpr (requires { buf->data(); }) return static_cast<std::uint16_t>(fn(buf->data()));
        else return static_cast<std::uint16_t>(fn(buf.get()));
    });
}
// A block sent from a copy: the record may change once the wait is over.
template <typename T, typename Fn>
std::optional<std::uint16_t> sendCopy(LinkRunner& runner, Fn fn, const T& block) {
    if (!fn) return std::uint16_t{LINK_ERR_INIT};
    auto copy = std::make_shared<T>(block);
    return runner.result([fn, copy] { return static_cast<std::uint16_t>(fn(copy->data())); });
}
}  // namespace

std::optional<std::uint16_t> Dispatcher::attempt(int code, std::int32_t arg1, std::int32_t arg2) {
    auto& v = v_;
    const LinkApi& api = link_;
    switch (code) {
    case FN_GetFormat: {
        auto r = std::make_shared<std::int16_t>(v.CurrentFormat);
        const auto e = readInto(runner_, api.GetFormat, r);
        if (e == 0 && *r != v.CurrentFormat) {
            v.CurrentFormat = *r;
            events_.liveValueChanged(LiveValue::Format);
        }
        return e;
    }
    case FN_GetVol: {
        auto r = std::make_shared<std::int16_t>(v.CurrentVolume);
        const auto e = readInto(runner_, api.GetVol, r);
        if (e == 0 && *r != v.CurrentVolume) {
            v.CurrentVolume = *r;
            events_.liveValueChanged(LiveValue::Volume);
        }
        return e;
    }
    case FN_GetMute: {
        // The library writes 1 or 0 (or nothing for a reply it does not
        // know); the editor keeps its booleans as -1 and 0.
        auto r = std::make_shared<std::uint8_t>(v.CurrentMute ? 1 : 0);
        const auto e = readInto(runner_, api.GetMute, r);
        if (e == 0 && vb(*r != 0) != v.CurrentMute) {
            v.CurrentMute = vb(*r != 0);
            events_.liveValueChanged(LiveValue::Mute);
        }
        return e;
    }
    case FN_SelectFormat: return invoke(api.SelectFormat, static_cast<std::int32_t>(v.CurrentFormat));
    case FN_SetVol: return invoke(api.SetVol, static_cast<std::int32_t>(v.CurrentVolume));
    case FN_SetMute: return invoke(api.SetMute, static_cast<std::int32_t>(v.CurrentMute));
    case FN_SetPink: return invoke(api.SetPink, arg1, arg2);
    case FN_SetPhase: return invoke(api.SetPhase, arg1, arg2);
    case FN_GetUnitVersion: {
        auto buf = std::make_shared<std::array<std::int16_t, 7>>(v.unitVersions);
        const auto e = readInto(runner_, api.GetUnitVersion, buf);
        if (e == 0) v.unitVersions = *buf;
        return e;
    }
    case FN_InitDLL: return invoke(api.InitDLL, static_cast<std::int32_t>(v.ComPort));
    // A block read that fails leaves the record's block as it was, never
    // half read.
    case FN_GetAudio: {
        auto buf = std::make_shared<std::array<std::uint8_t, kAudioBlockSize>>(v.audioBlock.bytes);
        const auto e = readInto(runner_, api.GetAudio, buf);
        if (e == 0) v.audioBlock.bytes = *buf;
        return e;
    }
    case FN_GetSystem: {
        auto buf = std::make_shared<std::array<std::uint8_t, kSystemBlockSize>>(v.systemBlock.bytes);
        const auto e = readInto(runner_, api.GetSystem, buf);
        if (e == 0) v.systemBlock.bytes = *buf;
        return e;
    }
    case FN_SetAudio: return sendCopy(runner_, api.SetAudio, v.audioBlock.bytes);
    case FN_SetSystem: return sendCopy(runner_, api.SetSystem, v.systemBlock.bytes);
    case FN_SetProjector: return invoke(api.SetProjector, static_cast<std::int32_t>(v.ProjectorIndex));
    case FN_BeginGainStream: return invoke(api.BeginGainStream);
    case FN_BeginSlitStream: return invoke(api.BeginSlitStream);
    case FN_BeginAzimuthStream: return invoke(api.BeginAzimuthStream);
    case FN_StopStream: return invoke(api.StopStream);
    case FN_EnableOBE: return invoke(api.EnableOBE);
    case FN_SetRT60: return invoke(api.SetRT60, arg2);
    case FN_DLLShutdown: return invoke(api.DLLShutdown);
    case FN_SetDLLBaud: return invoke(api.SetDLLBaud, arg1);
    default: return std::uint16_t{0};
    }
}

std::uint16_t Dispatcher::RetryFunction(int code, std::int32_t arg1, std::int32_t arg2) {
    auto& v = v_;
    // Whoever asks for a block, a running measurement's stream is stopped
    // first (a failure there has taken the editor off line).
    if (stream_ && v.OnLine && isBlockTransfer(code)) stream_->holdForBlockTransfer();
    if (code != FN_InitDLL && !v.OnLine) return 0;
    ExchangeScope exchange(runner_);
    if (!v.PollActive) v.UnitBusy = kTrue;
    int retryCount = 0;
    std::uint16_t result = 0;
    for (;;) {
        const auto e = runner_.cancelRequested() ? std::nullopt : attempt(code, arg1, arg2);
        if (!e) {
            abandonLink();
            result = kCancelledWord;
            break;
        }
        if (*e == 0) {
            if (code == FN_InitDLL || retryCount >= 2) {
                v.OnLine = kTrue;
                events_.linkStatus(LinkStatus::OnLine);
            }
            result = 0;
            break;
        }
        if (retryCount == 1) events_.linkStatus(LinkStatus::Struggling);
        ++retryCount;
        Pause(kRetryPauseMs);
        if (code == FN_GetUnitVersion || code == FN_InitDLL) events_.retryProgress(retryCount);
        if (code != FN_InitDLL && !isBlockTransfer(code) && link_.ClearError && !runner_.cancelRequested())
            runner_.call([fn = link_.ClearError] { fn(); });
        if (runner_.cancelRequested()) {
            abandonLink();
            result = kCancelledWord;
            break;
        }
        if (retryCount >= kMaxAttempts) {
            DispErr(*e);
            result = *e;
            break;
        }
    }
    if (!v.PollActive) v.UnitBusy = kFalse;
    return result;
}

// A link given up at another speed goes back to 9600 at both ends first,
// as a clean close does: the library would otherwise open the next Connect
// at that speed, where a unit that missed the change (or was switched off
// and on) never answers, and no menu off line can move it.  Both calls are
// handed over without waiting: after a cancel the call given up may still
// be in the library, and they queue behind it.
void Dispatcher::shutDownLibrary() {
    if (v_.BaudIndex != 0 && link_.SetDLLBaud) runner_.post([fn = link_.SetDLLBaud] { fn(0); });
    v_.BaudIndex = 0;
    if (link_.DLLShutdown) runner_.post([fn = link_.DLLShutdown] { fn(); });
}

void Dispatcher::abandonLink() {
    unitAccepted_ = false;
    shutDownLibrary();
    v_.OnLine = kFalse;
    events_.linkStatus(LinkStatus::OffLine);
    events_.linkLost(kCancelledWord);
}

void Dispatcher::DispErr(std::uint16_t errorWord) {
    if (errorWord == kStreamLostWord) {
        events_.streamLost();
        return;
    }
    const bool connecting = !unitAccepted_;
    // The diagnosis opens the port as the library does, so it runs once the
    // library has let go of it.
    HintJob diagnose;
    if (errorWord != 0 && connecting && portHint_) diagnose = portHint_();
    unitAccepted_ = false;
    shutDownLibrary();
    if (errorWord != 0 && !runner_.cancelRequested()) {
        std::string text;
        if (connecting) {
            text = translate("Dispatcher", "Unable to connect to unit!");
            const std::string hint = diagnose ? runner_.result(diagnose).value_or(std::string()) : std::string();
            if (!hint.empty()) text += "\n\n" + hint;
        } else {
            text = errorReportText(errorWord);
        }
        // A cancel during the diagnosis: the user asked for no report.
        if (!runner_.cancelRequested())
            msg_.show(text, translate("Dispatcher", "Connection Error"), MsgIcon::Exclamation, MsgButtons::OK);
    }
    v_.OnLine = kFalse;
    events_.linkStatus(LinkStatus::OffLine);
    events_.linkLost(errorWord);
}

void Dispatcher::Pause(int milliseconds) { clock_.sleepMs(milliseconds); }

}  // namespace zelk
