#include "files/service_report.h"

#include <cstdio>

#include "form/captions.h"
#include "form/forms.h"
#include "form/translate.h"
#include "model/compare.h"
#include "model/lookup.h"
#include "model/stamp.h"

namespace zelk {

namespace {

const std::array<const char*, 11> kTheaterCaptions = {
    ZELK_TEXT("Report", "Circuit"),        ZELK_TEXT("Report", "Theater Name"),     ZELK_TEXT("Report", "Address"),
    ZELK_TEXT("Report", "City"),           ZELK_TEXT("Report", "Zip Code"),         ZELK_TEXT("Report", "State / County"),
    ZELK_TEXT("Report", "Phone"),          ZELK_TEXT("Report", "S/N of Processor"), ZELK_TEXT("Report", "Screen Number"),
    ZELK_TEXT("Report", "Date Installed"), ZELK_TEXT("Report", "Notes")};

std::string version(int major, int minor) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", major, minor);
    return buf;
}

double levelDb(int raw) { return 6.0 - raw / 2.0; }
double toneDb(int raw) { return 10.0 - raw; }

}  // namespace

std::string longDateText(const LocalTime& t) {
    static const char* const days[7] = {ZELK_TEXT("Report", "Sunday"),   ZELK_TEXT("Report", "Monday"),
                                        ZELK_TEXT("Report", "Tuesday"),  ZELK_TEXT("Report", "Wednesday"),
                                        ZELK_TEXT("Report", "Thursday"), ZELK_TEXT("Report", "Friday"),
                                        ZELK_TEXT("Report", "Saturday")};
    static const char* const months[12] = {
        ZELK_TEXT("Report", "January"), ZELK_TEXT("Report", "February"), ZELK_TEXT("Report", "March"),
        ZELK_TEXT("Report", "April"),   ZELK_TEXT("Report", "May"),      ZELK_TEXT("Report", "June"),
        ZELK_TEXT("Report", "July"),    ZELK_TEXT("Report", "August"),   ZELK_TEXT("Report", "September"),
        ZELK_TEXT("Report", "October"), ZELK_TEXT("Report", "November"), ZELK_TEXT("Report", "December")};
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char time[16];
    std::snprintf(time, sizeof time, "%d:%02d", h12, t.minute);
    return fill(translate("Report", "%1 %2 %3 %4, %5 %6"),
                {translate("Report", days[(t.weekday % 7 + 7) % 7]), std::to_string(t.day),
                 translate("Report", months[((t.month - 1) % 12 + 12) % 12]), std::to_string(t.year), time,
                 t.hour >= 12 ? translate("Clock", "PM") : translate("Clock", "AM")});
}

ServiceReport buildServiceReport(const ConfigData& config, const ReportContext& context) {
    ServiceReport r;
    r.date = longDateText(context.when);
    r.title = translate("Report", "Service Report");
    r.verify = context.verify;
    {
        // The verify text of a match begins as the upload's own does (the
        // words before the blocks' names), in whichever language it was said.
        const std::string matched =
            translate("ServiceVisit", "Verified: the unit holds the settings sent (%1 read back at %2).");
        const std::string lead = matched.substr(0, matched.find("%1"));
        r.verified = !lead.empty() && r.verify.rfind(lead, 0) == 0;
    }

    r.theater.heading = translate("Report", "Theater Information");
    for (std::size_t i = 0; i < kTheaterCaptions.size(); ++i) {
        const std::string& text = config.TheaterInfo[i];
        r.theater.rows.push_back({translate("Report", kTheaterCaptions[i]), text.empty() ? "-" : text});
    }

    r.unit.heading = translate("Report", "Processor Unit");
    if (context.versions) {
        const auto& w = *context.versions;
        std::string cpu = version(w[0], w[1]);
        if (w[2] != 0) {
            char build[16];
            std::snprintf(build, sizeof build, ".%04d", w[2]);
            cpu += build;
        }
        r.unit.rows.push_back({translate("Report", "CPU Version"), cpu});
        r.unit.rows.push_back({translate("Report", "DSP Controller"), version(w[3], w[4])});
        r.unit.rows.push_back({translate("Report", "DSP Firmware"), version(w[5], w[6])});
    } else {
        r.unit.rows.push_back({translate("Report", "Versions"),
                               translate("Report", "not read: the editor was not connected to the unit")});
    }
    r.unit.rows.push_back(
        {translate("Report", "Last upload (date stamp)"), stampText(UnpackUploadStamp(config.audioBlock))});

    const auto fields = describeFields(config.systemBlock, config.audioBlock, Blocks::Both, kShown);
    auto section = [&](const std::string& heading, const char* group) {
        ReportSection s{heading, {}};
        const std::string shownGroup = translate("Settings", group);
        for (const auto& f : fields)
            if (f.group == shownGroup) s.rows.push_back({f.name, f.text});
        return s;
    };
    r.settings.push_back(section(translate("Report", "Options"), "Options"));
    ReportSection levels = section(translate("Report", "Output Trims and Fader"), "Output Trim");
    levels.rows.push_back({translate("Report", "Master fader"), volumeText(config.CurrentVolume)});
    levels.rows.push_back(
        {translate("Report", "Mute"), config.CurrentMute ? translate("Settings", "On") : translate("Settings", "Off")});
    const int fmt = config.CurrentFormat;
    levels.rows.push_back({translate("Report", "Format"),
                           fmt >= 0 && fmt < 6
                               ? translate("Captions", kFormatCaptions[static_cast<std::size_t>(fmt)])
                               : fill(translate("Settings", "code %1 (out of range)"), {std::to_string(fmt)})});
    r.settings.push_back(std::move(levels));
    r.settings.push_back(section(translate("Report", "OBE"), "OBE"));
    r.settings.push_back(section(translate("Report", "Kept bytes (not shown in the editor)"), "Kept bytes"));

    if (context.changes) {
        r.changes.heading = translate("Report", "Changes since the as-found");
        const auto& since = *context.changes;
        // The newest first, as many as a page holds; the rest are in the history.
        constexpr std::size_t kShown = 40;
        for (auto it = since.rbegin(); it != since.rend() && r.changes.rows.size() < kShown; ++it) {
            std::string what = it->action +
                               (it->sections.empty() ? "" : fill(translate("Report", " (only %1)"), {it->sections})) +
                               ": " + it->result;
            if (!it->changes.empty()) what += ". " + changesSummary(it->changes);
            if (!it->reason.empty()) what += fill(translate("Report", ". Reason: %1"), {it->reason});
            r.changes.rows.push_back({it->time + " " + it->program + " (" + (it->user.empty() ? "?" : it->user) + ")",
                                      what});
        }
        if (since.size() > kShown)
            r.changes.rows.push_back({"...", fill(translate("Report", "%1 earlier, in the unit's history"),
                                                  {std::to_string(since.size() - kShown)})});
        if (since.empty())
            r.changes.rows.push_back({translate("Report", "None"),
                                      translate("Report", "no upload recorded since the as-found configuration")});
    }

    AudioBlock audio = config.audioBlock;
    for (int ch : kScreenOrder) {
        ChannelPlot p;
        p.channel = ch;
        ChannelEq eq = audio.channelEq(ch);
        const std::string name = translate("Settings", kChannelNames[static_cast<std::size_t>(ch)]);
        if (isWideChannel(ch) || isSurroundChannel(ch)) {
            const int n = bandCount(ch);
            p.title = fill(translate("Report", "%1 (%2 bands)"), {name, std::to_string(n)});
            for (int b = 0; b < n; ++b) {
                const double hz = n == 27 ? kWideBandHz[static_cast<std::size_t>(b)] : kOctaveBandHz[static_cast<std::size_t>(b)];
                p.bands.push_back({hz, levelDb(eq.bandGain(b)), frequencyText(hz, kShown)});
            }
        } else {
            p.title = fill(translate("Report", "%1 (sub-bass parametric)"), {name});
            const int f = eq.subFrequency();
            if (f < static_cast<int>(kSubFrequencyHz.size()))
                p.subBass = EqPoint{kSubFrequencyHz[static_cast<std::size_t>(f)], levelDb(eq.subGain()),
                                    translate("Captions", kSubFrequencyNames[static_cast<std::size_t>(f)])};
            const int bw = eq.subBandwidth();
            p.subBandwidthIndex = bw;
            p.subBandwidth = bw < 3 ? translate("Captions", kSubBandwidthNames[static_cast<std::size_t>(bw)]) : "?";
        }
        p.bassDb = toneDb(eq.bass());
        p.trebleDb = toneDb(eq.treble());
        for (const auto& f : fields)
            if (f.group == name)  // "Left Channel 1 kHz" in the Left Channel's rows: "1 kHz"
                p.rows.push_back({f.name.rfind(name + " ", 0) == 0 ? f.name.substr(name.size() + 1) : f.name, f.text});
        r.channels.push_back(std::move(p));
    }
    return r;
}

std::string serviceReportText(const ServiceReport& r) {
    std::string t = r.title + "\n" + r.date + "\n";
    auto section = [&t](const ReportSection& s) {
        t.append("\n").append(s.heading).append("\n");
        for (const auto& [caption, value] : s.rows) t.append("  ").append(caption).append(": ").append(value).append("\n");
    };
    section(r.theater);
    section(r.unit);
    if (!r.verify.empty()) t += "\n" + translate("Report", "Verify after upload") + "\n  " + r.verify + "\n";
    if (!r.changes.heading.empty()) section(r.changes);
    for (const auto& s : r.settings) section(s);
    for (const auto& c : r.channels) section({c.title, c.rows});
    return t;
}

}  // namespace zelk
