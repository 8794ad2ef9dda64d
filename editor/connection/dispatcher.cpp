#include "connection/dispatcher.h"

#include <array>

#include "form/error_text.h"

namespace zelk {

std::string errorReportText(std::uint16_t errorWord) {
    std::string text = "The following Errors were encountered:\n\n";
    for (int bit = 0; bit < static_cast<int>(kErrorBitLines.size()); ++bit) {
        if (errorWord & (1u << bit)) {
            text += errorBitLine(bit);
            text += '\n';
        }
    }
    text += "\n\nCannot Continue On Line!\n";
    return text;
}

Dispatcher::Dispatcher(const LinkApi& link, LinkRunner& runner, ModVals& vals, ClockService& clock,
                       MessageBoxService& msg, LinkEvents& events, std::function<std::string()> portHint)
    : link_(link),
      runner_(runner),
      v_(vals),
      clock_(clock),
      msg_(msg),
      events_(events),
      portHint_(std::move(portHint)) {}

// One library call, run where library calls run.  A missing entry point
// (library not loaded) reads as "could not initialise".
template <typename Fn, typename... Args>
std::uint16_t Dispatcher::invoke(Fn fn, Args... args) {
    if (!fn) return 0x0040;
    std::uint16_t e = 0;
    runner_.call([&] { e = static_cast<std::uint16_t>(fn(args...)); });
    return e;
}

std::uint16_t Dispatcher::attempt(int code, std::int32_t arg1, std::int32_t arg2) {
    auto& v = v_;
    const LinkApi& api = link_;
    switch (code) {
    case FN_GetFormat: {
        std::int16_t r = v.CurrentFormat;
        const auto e = invoke(api.GetFormat, &r);
        if (e == 0 && r != v.CurrentFormat) {
            v.CurrentFormat = r;
            events_.liveValueChanged(LiveValue::Format);
        }
        return e;
    }
    case FN_GetVol: {
        std::int16_t r = v.CurrentVolume;
        const auto e = invoke(api.GetVol, &r);
        if (e == 0 && r != v.CurrentVolume) {
            v.CurrentVolume = r;
            events_.liveValueChanged(LiveValue::Volume);
        }
        return e;
    }
    case FN_GetMute: {
        // The library writes 1 or 0 (or nothing for a reply it does not
        // know); the editor keeps its booleans as -1 and 0.
        std::uint8_t r = v.CurrentMute ? 1 : 0;
        const auto e = invoke(api.GetMute, &r);
        if (e == 0 && vb(r != 0) != v.CurrentMute) {
            v.CurrentMute = vb(r != 0);
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
        std::array<std::int16_t, 7> buf = v.unitVersions;
        const auto e = invoke(api.GetUnitVersion, buf.data());
        if (e == 0) v.unitVersions = buf;
        return e;
    }
    case FN_InitDLL: return invoke(api.InitDLL, static_cast<std::int32_t>(v.ComPort));
    case FN_GetAudio: return invoke(api.GetAudio, v.audioBlock.data());
    case FN_GetSystem: return invoke(api.GetSystem, v.systemBlock.data());
    case FN_SetAudio: return invoke(api.SetAudio, static_cast<const std::uint8_t*>(v.audioBlock.data()));
    case FN_SetSystem: return invoke(api.SetSystem, static_cast<const std::uint8_t*>(v.systemBlock.data()));
    case FN_SetProjector: return invoke(api.SetProjector, static_cast<std::int32_t>(v.ProjectorIndex));
    case FN_BeginGainStream: return invoke(api.BeginGainStream);
    case FN_BeginSlitStream: return invoke(api.BeginSlitStream);
    case FN_BeginAzimuthStream: return invoke(api.BeginAzimuthStream);
    case FN_StopStream: return invoke(api.StopStream);
    case FN_EnableOBE: return invoke(api.EnableOBE);
    case FN_SetRT60: return invoke(api.SetRT60, arg2);
    case FN_DLLShutdown: return invoke(api.DLLShutdown);
    case FN_SetDLLBaud: return invoke(api.SetDLLBaud, arg1);
    default: return 0;
    }
}

std::uint16_t Dispatcher::RetryFunction(int code, std::int32_t arg1, std::int32_t arg2) {
    auto& v = v_;
    if (code != FN_InitDLL && !v.OnLine) return 0;
    ExchangeScope exchange(runner_);
    if (!v.PollActive) v.UnitBusy = kTrue;
    int retryCount = 0;
    std::uint16_t result = 0;
    for (;;) {
        const std::uint16_t e = attempt(code, arg1, arg2);
        if (e == 0) {
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
        if (code != FN_InitDLL && code != FN_GetAudio && code != FN_GetSystem && code != FN_SetAudio &&
            code != FN_SetSystem && link_.ClearError)
            runner_.call([this] { link_.ClearError(); });
        if (retryCount >= kMaxAttempts) {
            DispErr(e);
            result = e;
            break;
        }
    }
    if (!v.PollActive) v.UnitBusy = kFalse;
    return result;
}

void Dispatcher::DispErr(std::uint16_t errorWord) {
    if (errorWord == 768) {
        events_.streamLost();
        return;
    }
    if (errorWord != 0) {
        if (!unitAccepted_) {
            std::string text = "Unable to connect to unit!";
            const std::string hint = portHint_ ? portHint_() : std::string();
            if (!hint.empty()) text += "\n\n" + hint;
            msg_.show(text, "Connection Error", MsgIcon::Exclamation, MsgButtons::OK);
        } else {
            msg_.show(errorReportText(errorWord), "Connection Error", MsgIcon::Exclamation, MsgButtons::OK);
        }
    }
    unitAccepted_ = false;
    v_.OnLine = kFalse;
    events_.linkStatus(LinkStatus::OffLine);
    // A link given up at another speed goes back to 9600 at both ends first,
    // as a clean close does: the library would otherwise open the next
    // Connect at that speed, where a unit that missed the change (or was
    // switched off and on) never answers, and no menu off line can move it.
    if (v_.BaudIndex != 0 && link_.SetDLLBaud) runner_.call([this] { link_.SetDLLBaud(0); });
    v_.BaudIndex = 0;
    if (link_.DLLShutdown) runner_.call([this] { link_.DLLShutdown(); });
    events_.linkLost(errorWord);
}

void Dispatcher::Pause(int milliseconds) { clock_.sleepMs(milliseconds); }

}  // namespace zelk
