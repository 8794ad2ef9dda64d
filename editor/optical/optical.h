// optical.h - the optical setup tab: Start and Stop of a measurement, the
// mode and projector buttons, one measurement read per timer tick drawn on
// the pictures, the "Stream Lock" indicator and the readouts.
#ifndef ZELK_OPTICAL_OPTICAL_H
#define ZELK_OPTICAL_OPTICAL_H

#include <array>
#include <cstdint>
#include <optional>

#include "connection/dispatcher.h"
#include "connection/link_events.h"
#include "connection/live_status.h"
#include "connection/polling.h"
#include "connection/port_speed.h"
#include "controls/levels.h"
#include "form/forms.h"
#include "model/record.h"
#include "optical/optical_draw.h"

namespace zelk {

class Optical : public LinkEvents, public MeasurementStream {
public:
    Optical(ModVals& vals, Dispatcher& d, Levels& levels, LiveStatus& live, PollControl& polling,
            PortSpeed& portSpeed, OpticalTab& tab);

    void cmdStart_Click();
    void optOptical_Click(int index);
    void cmdPro_Click(int index);
    void cmdMute4_Click();
    void tmrOptical_Timer();
    void StreamLock(bool locked);
    void Timer2_Timer();
    // Leaving the tab stops a running measurement.
    void leaveTab();

    bool running() const { return running_; }

    void streamLost() override { StreamLock(false); }
    // The link was given up: a running measurement stops.
    void linkLost(std::uint16_t) override { leaveTab(); }

    // A block transfer is about to be made: the stream stops in the unit
    // (once), the measurement goes on here and starts it again before its
    // next reading.
    void holdForBlockTransfer() override;

    // The measurement state.
    std::int16_t OpticalMode = 0;  // 0 gain, 1 slit loss, 2 azimuth
    std::int16_t SavedFormat = 0;
    std::int16_t GainReading = 0;
    std::array<std::uint8_t, 22> SlitReadings{};
    std::array<std::uint8_t, 28> AzimuthReading{};
    AzimuthTrailData AzimuthTrail{};
    std::int16_t AzimuthSlot = 0;

    // Records read and drawn since Start, and how long the last drawing took
    // (for the benchmark and the tests).
    long recordsDrawn() const { return drawn_; }
    double lastDrawMs() const { return lastDrawMs_; }

private:
    void startMeasurement();
    void stopMeasurement();
    void showStopped();
    void beginStream();
    void clearPictures();
    void showReadout();
    ModVals& v_;
    Dispatcher& d_;
    Levels& levels_;
    LiveStatus& live_;
    PollControl& polling_;
    PortSpeed& portSpeed_;
    OpticalTab& t_;
    bool running_ = false;
    bool streamHeld_ = false;  // stopped for block transfers, to be started again
    std::array<bool, 10> slotFilled_{};
    std::optional<double> bestCorrelation_;
    long drawn_ = 0;
    double lastDrawMs_ = 0;
};

}  // namespace zelk

#endif
