#include "optical/optical.h"

#include <chrono>

#include "optical/readout.h"

namespace zelk {

Optical::Optical(ModVals& vals, Dispatcher& d, Levels& levels, PollControl& polling, PortSpeed& portSpeed,
                 OpticalTab& tab)
    : v_(vals), d_(d), levels_(levels), polling_(polling), portSpeed_(portSpeed), t_(tab) {
    t_.cmdStart.onClick = [this] { cmdStart_Click(); };
    for (int i = 0; i < 3; ++i) t_.optOptical[i].onClick = [this, i] { optOptical_Click(i); };
    for (int i = 0; i < 2; ++i) t_.cmdPro[i].onClick = [this, i] { cmdPro_Click(i); };
    t_.cmdMute4.onClick = [this] { cmdMute4_Click(); };
    t_.tmrOptical.onTimer = [this] { tmrOptical_Timer(); };
    t_.Timer2.onTimer = [this] { Timer2_Timer(); };
    t_.optOptical[0].setValue(true);
}

void Optical::StreamLock(bool locked) {
    t_.lblLock.setCaption(locked ? "Stream Lock" : "No Stream");
    t_.lblLock.setBackColour(locked ? kGreen : kRed);
}

void Optical::Timer2_Timer() { t_.lblStart.setVisible(!t_.lblStart.visible()); }

void Optical::beginStream() {
    static constexpr int codes[3] = {FN_BeginGainStream, FN_BeginSlitStream, FN_BeginAzimuthStream};
    d_.RetryFunction(codes[OpticalMode >= 0 && OpticalMode <= 2 ? OpticalMode : 0]);
}

void Optical::clearPictures() {
    t_.OptGraph.clear();
    t_.optAzi.clear();
}

void Optical::cmdStart_Click() {
    d_.RetryFunction(FN_SetProjector);
    AzimuthTrail = {};
    slotFilled_ = {};
    bestCorrelation_.reset();
    if (!running_) {
        polling_.suspend();
        t_.Timer2.setEnabled(false);
        t_.lblStart.setVisible(false);
        portSpeed_.enableSpeedMenu(false);
        SavedFormat = v_.CurrentFormat;
        v_.CurrentFormat = 1;  // A-TYPE
        d_.RetryFunction(FN_SelectFormat);
        t_.cmdMute4.setEnabled(false);
        running_ = true;
        t_.cmdStart.setCaption("Stop");
        t_.lblLock.setVisible(true);
        drawn_ = 0;
        t_.tmrOptical.setInterval(1);
        t_.tmrOptical.setEnabled(true);
        beginStream();
        d_.RetryFunction(FN_GetMute);
    } else {
        d_.RetryFunction(FN_StopStream);
        d_.RetryFunction(FN_SetProjector);
        t_.tmrOptical.setEnabled(false);
        t_.tmrOptical.setInterval(0);
        running_ = false;
        t_.cmdStart.setCaption("Start");
        t_.lblLock.setVisible(false);
        clearPictures();
        t_.lblReadout.setCaption("");
        t_.cmdMute4.setEnabled(true);
        portSpeed_.enableSpeedMenu(true);
        v_.CurrentFormat = SavedFormat;
        d_.RetryFunction(FN_SelectFormat);
        polling_.resume();
        t_.Timer2.setEnabled(true);
    }
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
    // One measurement step is one exchange: nothing else talks to the unit
    // until it is drawn.
    ExchangeScope exchange(d_.runner());
    auto& g = t_.OptGraph;
    g.font("MS Sans Serif", g.fontSize());
    const LinkApi& api = d_.link();
    std::uint16_t e = 0;
    std::array<std::uint8_t, 11> record{};
    std::int16_t kind = 0;
    // The measurement reads are direct: no retry, the stream brings the next.
    switch (OpticalMode) {
    case 0:
        d_.runDirect([&] { e = api.GetOptGain ? api.GetOptGain(&GainReading) : 0x0040; });
        break;
    case 1:
        d_.runDirect([&] { e = api.GetSingleSlitloss ? api.GetSingleSlitloss(record.data(), &kind) : 0x0040; });
        break;
    default:
        d_.runDirect([&] { e = api.GetOptAzimuth ? api.GetOptAzimuth(AzimuthReading.data()) : 0x0040; });
        break;
    }
    if (e != 0) {
        d_.DispErr(e);
        return;
    }
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
