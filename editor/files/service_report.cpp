#include "files/service_report.h"

#include <cstdio>

#include "form/captions.h"
#include "form/forms.h"
#include "model/compare.h"
#include "model/lookup.h"
#include "model/stamp.h"

namespace zelk {

namespace {

const std::array<const char*, 11> kTheaterCaptions = {"Circuit",      "Theater Name",     "Address",
                                                      "City",         "Zip Code",         "State / County",
                                                      "Phone",        "S/N of Processor", "Screen Number",
                                                      "Date Installed", "Notes"};

std::string version(int major, int minor) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", major, minor);
    return buf;
}

double levelDb(int raw) { return 6.0 - raw / 2.0; }
double toneDb(int raw) { return 10.0 - raw; }

}  // namespace

std::string longDateText(const LocalTime& t) {
    static const char* const days[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %d %s %d, %d:%02d %s", days[(t.weekday % 7 + 7) % 7], t.day,
                  months[((t.month - 1) % 12 + 12) % 12], t.year, h12, t.minute, t.hour >= 12 ? "PM" : "AM");
    return buf;
}

ServiceReport buildServiceReport(const ConfigData& config, const ReportContext& context) {
    ServiceReport r;
    r.date = longDateText(context.when);
    r.verify = context.verify;

    r.theater.heading = "Theater Information";
    for (std::size_t i = 0; i < kTheaterCaptions.size(); ++i) {
        const std::string& text = config.TheaterInfo[i];
        r.theater.rows.push_back({kTheaterCaptions[i], text.empty() ? "-" : text});
    }

    r.unit.heading = "Processor Unit";
    if (context.versions) {
        const auto& w = *context.versions;
        std::string cpu = version(w[0], w[1]);
        if (w[2] != 0) {
            char build[16];
            std::snprintf(build, sizeof build, ".%04d", w[2]);
            cpu += build;
        }
        r.unit.rows.push_back({"CPU Version", cpu});
        r.unit.rows.push_back({"DSP Controller", version(w[3], w[4])});
        r.unit.rows.push_back({"DSP Firmware", version(w[5], w[6])});
    } else {
        r.unit.rows.push_back({"Versions", "not read: the editor was not connected to the unit"});
    }
    r.unit.rows.push_back({"Last upload (date stamp)", stampText(UnpackUploadStamp(config.audioBlock))});

    const auto fields = describeFields(config.systemBlock, config.audioBlock);
    auto section = [&](const std::string& heading, const std::string& group) {
        ReportSection s{heading, {}};
        for (const auto& f : fields)
            if (f.group == group) s.rows.push_back({f.name, f.text});
        return s;
    };
    r.settings.push_back(section("Options", "Options"));
    ReportSection levels = section("Output Trims and Fader", "Output Trim");
    levels.rows.push_back({"Master fader", volumeText(config.CurrentVolume)});
    levels.rows.push_back({"Mute", config.CurrentMute ? "On" : "Off"});
    const int fmt = config.CurrentFormat;
    levels.rows.push_back({"Format", fmt >= 0 && fmt < 6 ? kFormatCaptions[static_cast<std::size_t>(fmt)]
                                                         : "code " + std::to_string(fmt) + " (out of range)"});
    r.settings.push_back(std::move(levels));
    r.settings.push_back(section("OBE", "OBE"));
    r.settings.push_back(section("Kept bytes (not shown in the editor)", "Kept bytes"));

    if (context.changes) {
        r.changes.heading = "Changes since the as-found";
        const auto& since = *context.changes;
        // The newest first, as many as a page holds; the rest are in the history.
        constexpr std::size_t kShown = 40;
        for (auto it = since.rbegin(); it != since.rend() && r.changes.rows.size() < kShown; ++it) {
            std::string what = it->action + (it->sections.empty() ? "" : " (only " + it->sections + ")") + ": " +
                               it->result;
            if (!it->changes.empty()) what += ". " + changesSummary(it->changes);
            if (!it->reason.empty()) what += ". Reason: " + it->reason;
            r.changes.rows.push_back({it->time + " " + it->program + " (" + (it->user.empty() ? "?" : it->user) + ")",
                                      what});
        }
        if (since.size() > kShown)
            r.changes.rows.push_back({"...", std::to_string(since.size() - kShown) + " earlier, in the unit's history"});
        if (since.empty()) r.changes.rows.push_back({"None", "no upload recorded since the as-found configuration"});
    }

    AudioBlock audio = config.audioBlock;
    for (int ch : kScreenOrder) {
        ChannelPlot p;
        p.channel = ch;
        ChannelEq eq = audio.channelEq(ch);
        const std::string name = kChannelNames[static_cast<std::size_t>(ch)];
        if (isWideChannel(ch) || isSurroundChannel(ch)) {
            const int n = bandCount(ch);
            p.title = name + " (" + std::to_string(n) + " bands)";
            for (int b = 0; b < n; ++b) {
                const double hz = n == 27 ? kWideBandHz[static_cast<std::size_t>(b)] : kOctaveBandHz[static_cast<std::size_t>(b)];
                p.bands.push_back({hz, levelDb(eq.bandGain(b)), frequencyText(hz)});
            }
        } else {
            p.title = name + " (sub-bass parametric)";
            const int f = eq.subFrequency();
            if (f < static_cast<int>(kSubFrequencyHz.size()))
                p.subBass = EqPoint{kSubFrequencyHz[static_cast<std::size_t>(f)], levelDb(eq.subGain()),
                                    kSubFrequencyNames[static_cast<std::size_t>(f)]};
            const int bw = eq.subBandwidth();
            p.subBandwidth = bw < 3 ? kSubBandwidthNames[static_cast<std::size_t>(bw)] : "?";
        }
        p.bassDb = toneDb(eq.bass());
        p.trebleDb = toneDb(eq.treble());
        for (const auto& f : fields)
            if (f.group == name) p.rows.push_back({f.name.substr(name.size() + 1), f.text});
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
    if (!r.verify.empty()) t += "\nVerify after upload\n  " + r.verify + "\n";
    if (!r.changes.heading.empty()) section(r.changes);
    for (const auto& s : r.settings) section(s);
    for (const auto& c : r.channels) section({c.title, c.rows});
    return t;
}

}  // namespace zelk
