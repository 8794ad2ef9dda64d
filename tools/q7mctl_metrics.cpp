#include "q7mctl_metrics.h"

#include <cstdio>
#include <ctime>

namespace q7mctl {

long long stampSeconds(const zelk::UnpackedStamp& s) {
    // Stored month: January is 2.  The hour is on the 12-hour clock with an
    // afternoon flag; the year has two digits.
    const int month = s.month - 1;
    if (month < 1 || month > 12 || s.day < 1 || s.day > 31 || s.hour > 12 || s.minute > 59 || s.year > 99)
        return -1;
    std::tm tm{};
    tm.tm_year = 100 + s.year;
    tm.tm_mon = month - 1;
    tm.tm_mday = s.day;
    tm.tm_hour = s.hour % 12 + (s.afternoon ? 12 : 0);
    tm.tm_min = s.minute;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? -1 : static_cast<long long>(t);
}

namespace {

// A label value: backslash, double quote and line feed escaped.
std::string labelValue(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

class Family {
public:
    Family(const char* name, const char* help) : name_(name), help_(help) {}
    void add(const std::string& labels, const std::string& value) {
        samples_ += std::string(name_) + (labels.empty() ? "" : "{" + labels + "}") + " " + value + "\n";
    }
    // Families without a sample are left out.
    std::string text() const {
        if (samples_.empty()) return {};
        return std::string("# HELP ") + name_ + " " + help_ + "\n# TYPE " + name_ + " gauge\n" + samples_;
    }

private:
    const char* name_;
    const char* help_;
    std::string samples_;
};

}  // namespace

std::string metricsText(const std::vector<UnitResult>& units, bool withBaselines, double scrapeSeconds) {
    Family up("q7m_up", "1 when the unit on the port answered, 0 when it did not (no answer, missing device); not "
                        "written for a port another program holds.");
    Family busy("q7m_port_busy", "1 when another program (such as the editor) holds the port, else 0.");
    Family info("q7m_info", "The unit's CPU, DSP controller and DSP firmware versions; always 1.");
    Family fader("q7m_fader_level", "Master fader level, 0.0 to 9.9.");
    Family muted("q7m_muted", "1 when the unit is muted, else 0.");
    Family format("q7m_format",
                  "Format playing: 0 Mono, 1 A-TYPE, 2 SR-TYPE, 3 EXTERNAL 6-TRK, 4 ZELK Digital, 5 NONSYNC.");
    Family match("q7m_settings_match_baseline",
                 "1 when the unit holds the settings of its baseline file COMn.zcf, 0 when any differs.");
    Family diffs("q7m_settings_differences", "How many settings differ from the baseline file COMn.zcf.");
    Family upload("q7m_last_upload_timestamp_seconds",
                  "When settings were last uploaded to the unit, from its upload stamp (the uploading "
                  "computer's local time).");
    Family poll("q7m_poll_duration_seconds", "How long reading the unit took.");
    Family scrape("q7m_scrape_duration_seconds", "How long reading every unit and writing this file took.");

    for (const UnitResult& r : units) {
        const std::string port = "port=\"COM" + std::to_string(r.port) + "\"";
        const bool isBusy = r.state == kBusy;
        const bool answered = !isBusy && r.state != kNoAnswer && r.faderTenths >= 0;
        busy.add(port, isBusy ? "1" : "0");
        if (!isBusy) up.add(port, answered ? "1" : "0");
        poll.add(port, number(r.seconds));
        if (!answered) continue;
        info.add(port + ",cpu=\"" + labelValue(r.cpu) + "\",dsp_controller=\"" + labelValue(r.dspController) +
                     "\",dsp_firmware=\"" + labelValue(r.dspFirmware) + "\"",
                 "1");
        fader.add(port, number(r.faderTenths / 10.0));
        muted.add(port, r.mute == "on" ? "1" : "0");
        if (r.formatIndex >= 0) format.add(port, std::to_string(r.formatIndex));
        if (withBaselines && (r.state == kMatches || r.state == kDiffers)) {
            match.add(port, r.state == kMatches ? "1" : "0");
            diffs.add(port, std::to_string(r.differences.size()));
        }
        if (r.lastUploadTime >= 0) upload.add(port, std::to_string(r.lastUploadTime));
    }
    scrape.add("", number(scrapeSeconds));
    std::string text;
    for (const Family* f : {&up, &busy, &info, &fader, &muted, &format, &match, &diffs, &upload, &poll, &scrape})
        text += f->text();
    return text;
}

}  // namespace q7mctl
