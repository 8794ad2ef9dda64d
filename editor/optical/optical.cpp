#include "optical/optical.h"

#include <chrono>
#include <memory>
#include <optional>

#include "form/translate.h"
#include "optical/readout.h"

namespace zelk {

Optical::Optical(ModVals& vals, Dispatcher& d, Levels& levels, LiveStatus& live, PollControl& polling,
                 PortSpeed& portSpeed, OpticalTab& tab)
    : v_(vals), d_(d), levels_(levels), live_(live), polling_(polling), portSpeed_(portSpeed), t_(tab) {
    t_.cmdStart.onClick = [this] { cmdStart_Click(); };
    for (int i = 0; i < 3; ++i) t_.optOptical[i].onClick = [this, i] { optOptical_Click(i); };
    for (int i = 0; i < 2; ++i) t_.cmdPro[i].onClick = [this, i] { cmdPro_Click(i); };
    t_.cmdMute4.onClick = [this] { cmdMute4_Click(); };
    t_.tmrOptical.onTimer = [this] { tmrOptical_Timer(); };
    t_.Timer2.onTimer = [this] { Timer2_Timer(); };
    t_.optOptical[0].setValue(true);
}

void Optical::StreamLock(bool locked) {
    t_.lblLock.setCaption(locked ? translate("Captions", "Stream Lock") : translate("Captions", "No Stream"));
    t_.lblLock.setBackColour(locked ? kGreen : kRed);
}

void Optical::Timer2_Timer() { t_.lblStart.setVisible(!t_.lblStart.visible()); }

void Optical::beginStream() {
    streamHeld_ = false;
    static constexpr int codes[3] = {FN_BeginGainStream, FN_BeginSlitStream, FN_BeginAzimuthStream};
    d_.RetryFunction(codes[OpticalMode >= 0 && OpticalMode <= 2 ? OpticalMode : 0]);
}

void Optical::clearPictures() {
    t_.OptGraph.clear();
    t_.optAzi.clear();
}

// Start and Stop decide first, then talk: a link that fails on the way
// has taken the editor off line with one report, and what was begun is
// undone here without a word more (no measurement left running off line).
void Optical::cmdStart_Click() {
    if (running_) stopMeasurement();
    else startMeasurement();
}

void Optical::startMeasurement() {
    d_.RetryFunction(FN_SetProjector);
    AzimuthTrail = {};
    slotFilled_ = {};
    bestCorrelation_.reset();
    if (!v_.OnLine) return;
    polling_.suspend();
    t_.Timer2.setEnabled(false);
    t_.lblStart.setVisible(false);
    portSpeed_.enableSpeedMenu(false);
    SavedFormat = v_.CurrentFormat;
    v_.CurrentFormat = 1;  // A-TYPE
    d_.RetryFunction(FN_SelectFormat);
    if (!v_.OnLine) {
        v_.CurrentFormat = SavedFormat;
        showStopped();
        return;
    }
    live_.ReflectModeStatus();
    t_.cmdMute4.setEnabled(false);
    running_ = true;
    t_.cmdStart.setCaption(translate("Captions", "Stop"));
    t_.lblLock.setVisible(true);
    drawn_ = 0;
    t_.tmrOptical.setInterval(1);
    t_.tmrOptical.setEnabled(true);
    // A failure from here on stops the measurement through the off-line
    // handling (linkLost).
    beginStream();
    d_.RetryFunction(FN_GetMute);
}

void Optical::stopMeasurement() {
    // Stopped before the first call: a failure on the way must not stop
    // it a second time from inside this routine.
    running_ = false;
    t_.tmrOptical.setEnabled(false);
    t_.tmrOptical.setInterval(0);
    d_.RetryFunction(FN_SetProjector);
    AzimuthTrail = {};
    slotFilled_ = {};
    bestCorrelation_.reset();
    d_.RetryFunction(FN_StopStream);
    d_.RetryFunction(FN_SetProjector);
    clearPictures();
    v_.CurrentFormat = SavedFormat;
    d_.RetryFunction(FN_SelectFormat);
    live_.ReflectModeStatus();
    showStopped();
}

// The tab as when no measurement runs.
void Optical::showStopped() {
    t_.tmrOptical.setEnabled(false);
    t_.tmrOptical.setInterval(0);
    running_ = false;
    streamHeld_ = false;
    t_.cmdStart.setCaption(translate("Captions", "Start"));
    t_.lblLock.setVisible(false);
    t_.lblReadout.setCaption("");
    t_.cmdMute4.setEnabled(v_.OnLine != 0);
    portSpeed_.enableSpeedMenu(true);
    polling_.resume();
    t_.Timer2.setEnabled(true);
}

void Optical::holdForBlockTransfer() {
    if (!running_ || streamHeld_) return;
    streamHeld_ = true;
    d_.RetryFunction(FN_StopStream);
}

void Optical::optOptical_Click(int index) {
    OpticalMode = static_cast<std::int16_t>(index);
    if (!running_) return;
    d_.RetryFunction(FN_StopStream);
    d_.RetryFunction(FN_SetProjector);
    clearPictures();
    beginStream();
}

void Optical::cmdPro_Click(int index) {
    d_.RetryFunction(FN_StopStream);
    for (auto& b : t_.cmdPro) offLook(b);
    t_.cmdPro[index].setBackColour(kGreen);
    t_.cmdPro[index].setBold(true);
    v_.ProjectorIndex = static_cast<std::int16_t>(index);
    d_.RetryFunction(FN_SetProjector);
    if (running_) beginStream();
}

void Optical::cmdMute4_Click() {
    d_.RetryFunction(FN_StopStream);
    levels_.cmdMute_Click();
    if (running_) beginStream();
}

void Optical::leaveTab() {
    if (running_) cmdStart_Click();
}

void Optical::tmrOptical_Timer() {
    if (!running_) return;
    // Block transfers stopped the stream since the last reading: it starts
    // again (a failure stops the measurement through the off-line handling).
    if (streamHeld_) {
        beginStream();
        if (!running_) return;
        t_.cmdMute4.setEnabled(false);  // reading the unit enabled the live controls
    }
    // One measurement step is one exchange: nothing else talks to the unit
    // until it is drawn.
    ExchangeScope exchange(d_.runner());
    auto& g = t_.OptGraph;
    g.font("MS Sans Serif", g.fontSize());
    const LinkApi& api = d_.link();
    // The measurement reads are direct: no retry, the stream brings the
    // next.  Each reads into a buffer of its own, taken only on success.
    struct Reading {
        std::int16_t gain = 0;
        std::array<std::uint8_t, 11> slit{};
        std::int16_t kind = 0;
        std::array<std::uint8_t, 28> azimuth{};
    };
    auto r = std::make_shared<Reading>();
    r->gain = GainReading;
    r->azimuth = AzimuthReading;
    std::optional<std::uint16_t> result;
    switch (OpticalMode) {
    case 0:
        result = d_.runner().result([fn = api.GetOptGain, r] { return fn ? fn(&r->gain) : std::uint16_t{LINK_ERR_INIT}; });
        break;
    case 1:
        result = d_.runner().result(
            [fn = api.GetSingleSlitloss, r] { return fn ? fn(r->slit.data(), &r->kind) : std::uint16_t{LINK_ERR_INIT}; });
        break;
    default:
        result = d_.runner().result(
            [fn = api.GetOptAzimuth, r] { return fn ? fn(r->azimuth.data()) : std::uint16_t{LINK_ERR_INIT}; });
        break;
    }
    if (!result) {  // the user stopped waiting
        d_.abandonLink();
        return;
    }
    if (*result != 0) {
        d_.DispErr(*result);
        return;
    }
    GainReading = r->gain;
    AzimuthReading = r->azimuth;
    const auto& record = r->slit;
    const std::int16_t kind = r->kind;
    StreamLock(true);
    const auto drawStart = std::chrono::steady_clock::now();
    switch (OpticalMode) {
    case 0:
        t_.optAzi.setVisible(false);
        DrawGain(g, GainReading);
        break;
    case 1:
        t_.optAzi.setVisible(false);
        std::copy(record.begin(), record.end(), SlitReadings.begin() + (kind == 0 ? 0 : 11));
        DrawSlit(g, SlitReadings);
        break;
    default: {
        t_.optAzi.setVisible(true);
        auto& slot = AzimuthTrail[static_cast<std::size_t>(AzimuthSlot)];
        for (int i = 0; i < 14; ++i) {
            slot[static_cast<std::size_t>(i)][0] = AzimuthReading[static_cast<std::size_t>(2 * i)];
            slot[static_cast<std::size_t>(i)][1] = AzimuthReading[static_cast<std::size_t>(2 * i + 1)];
        }
        slotFilled_[static_cast<std::size_t>(AzimuthSlot)] = true;
        const int next = AzimuthSlot == 9 ? 0 : AzimuthSlot + 1;
        DrawAzimuth(t_.optAzi, AzimuthTrail, AzimuthSlot, next);
        AzimuthSlot = static_cast<std::int16_t>(next);
        break;
    }
    }
    showReadout();
    ++drawn_;
    lastDrawMs_ = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - drawStart).count();
}

void Optical::showReadout() {
    switch (OpticalMode) {
    case 0: t_.lblReadout.setCaption(readGain(GainReading).text()); break;
    case 1: t_.lblReadout.setCaption(readSlit(SlitReadings).text()); break;
    default: {
        const auto now = azimuthCorrelation(AzimuthTrail, slotFilled_);
        if (now && (!bestCorrelation_ || *now > *bestCorrelation_)) bestCorrelation_ = now;
        t_.lblReadout.setCaption(azimuthText(now, bestCorrelation_));
        break;
    }
    }
}

}  // namespace zelk
