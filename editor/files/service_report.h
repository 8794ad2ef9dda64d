// service_report.h - what a service report says, free of any toolkit: the
// theater, the unit's versions, the date, every setting in words, and per
// channel the points of its equaliser on a frequency axis.  The PDF writer
// (ui/report_pdf) only lays this out; tests read it directly.
#ifndef ZELK_FILES_SERVICE_REPORT_H
#define ZELK_FILES_SERVICE_REPORT_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/config_file.h"
#include "files/history.h"
#include "form/services.h"

namespace zelk {

using ReportRow = std::pair<std::string, std::string>;  // caption, value

struct ReportSection {
    std::string heading;
    std::vector<ReportRow> rows;
};

struct EqPoint {
    double hz = 0;     // where on the frequency axis
    double db = 0;     // the level
    std::string label; // "1.25 kHz"
};

// One channel's equaliser as drawn: the band levels (27 or 9), or the
// sub-bass section; bass and treble; and the values in words beneath.
struct ChannelPlot {
    int channel = 0;
    std::string title;            // "Left Channel (27 bands)"
    std::vector<EqPoint> bands;   // empty for the subwoofer
    std::optional<EqPoint> subBass;  // the sub-bass section's gain at its frequency
    std::string subBandwidth;     // "2/3 octave"
    int subBandwidthIndex = 0;    // its place in the list: 0 1/3, 1 2/3, 2 one octave
    double bassDb = 0, trebleDb = 0;
    std::vector<ReportRow> rows;  // every value of the channel in words
};

struct ServiceReport {
    std::string title = "Service Report";
    std::string date;  // "Tuesday 8 December 2026, 2:30 PM"
    ReportSection theater, unit;
    std::vector<ReportSection> settings;  // options, trims and fader, OBE, kept bytes
    std::vector<ChannelPlot> channels;    // screen order
    std::string verify;                   // the verify result when the report follows an upload, else ""
    bool verified = false;                // that result says the unit holds what was sent
    ReportSection changes;                // "Changes since the as-found", from the unit's history (empty heading: not read)
};

// What the report needs besides the configuration.
struct ReportContext {
    LocalTime when;
    std::optional<std::array<std::int16_t, 7>> versions;  // none: the unit was not read
    std::string verify;
    // The unit's history since its as-found configuration was kept, oldest
    // first (none: the history was not read).
    std::optional<std::vector<HistoryRecord>> changes;
};

ServiceReport buildServiceReport(const ConfigData& config, const ReportContext& context);

// The report as plain text, section by section (what the PDF says, in the
// same order).
std::string serviceReportText(const ServiceReport& report);

// "Tuesday 8 December 2026, 2:30 PM".
std::string longDateText(const LocalTime& t);

}  // namespace zelk

#endif
