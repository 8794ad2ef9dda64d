#include "q7mctl_site.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "files/config_file.h"
#include "model/compare.h"
#include "model/stamp.h"
#include "platform/files.h"
#include "port/port_map.h"
#include "q7mctl_field.h"
#include "q7mctl_files.h"
#include "q7mctl_link.h"
#include "q7mctl_metrics.h"
#include "q7mctl_report.h"
#include "q7mctl_workers.h"
#include "q7mslib.h"

namespace q7mctl {

namespace {

const char* const kFormatNames[6] = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital", "NONSYNC"};

bool surveys(const std::string& command) { return command == "verify" || command == "diff" || command == "metrics"; }

// Fields travel from a worker to the parent as one line, separated by 0x1F;
// the differences inside one field, 0x1E between them and 0x1D inside one.
constexpr char kSep = '\x1f', kRecord = '\x1e', kUnit = '\x1d';
constexpr std::size_t kFields = 19;

std::string clean(std::string s) {
    for (char& c : s)
        if (c == kSep || c == kRecord || c == kUnit || c == '\n' || c == '\r') c = ' ';
    return s;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            f.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    return f;
}

std::string serialise(const UnitResult& r) {
    std::string diffs;
    for (const auto& d : r.differences)
        diffs += (diffs.empty() ? "" : std::string(1, kRecord)) + clean(d.setting) + kUnit + clean(d.baseline) + kUnit +
                 clean(d.unit);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", r.seconds);
    const std::string fields[kFields] = {std::to_string(r.port), r.ok ? "1" : "0", clean(r.state), clean(r.cpu),
                                         clean(r.dspController), clean(r.dspFirmware), clean(r.fader), clean(r.mute),
                                         clean(r.format), std::to_string(r.faderTenths),
                                         std::to_string(r.formatIndex), clean(r.lastUpload),
                                         std::to_string(r.lastUploadTime), clean(r.baseline), diffs, seconds,
                                         clean(r.result), clean(r.error), "end"};
    std::string s;
    for (std::size_t i = 0; i < kFields; ++i) s += (i ? std::string(1, kSep) : "") + fields[i];
    return s + "\n";
}

bool deserialise(const std::string& line, UnitResult& r) {
    const std::vector<std::string> f = split(line, kSep);
    if (f.size() != kFields || f[kFields - 1] != "end") return false;
    r.port = std::atoi(f[0].c_str());
    r.ok = f[1] == "1";
    r.state = f[2];
    r.cpu = f[3], r.dspController = f[4], r.dspFirmware = f[5];
    r.fader = f[6], r.mute = f[7], r.format = f[8];
    r.faderTenths = std::atoi(f[9].c_str());
    r.formatIndex = std::atoi(f[10].c_str());
    r.lastUpload = f[11];
    r.lastUploadTime = std::atoll(f[12].c_str());
    r.baseline = f[13];
    if (!f[14].empty())
        for (const std::string& d : split(f[14], kRecord)) {
            const auto parts = split(d, kUnit);
            if (parts.size() == 3) r.differences.push_back({parts[0], parts[1], parts[2]});
        }
    r.seconds = std::atof(f[15].c_str());
    r.result = f[16], r.error = f[17];
    return true;
}

std::string twoDigits(int major, int minor) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%02d", major, minor);
    return buf;
}

std::string baselinePath(const std::string& folder, int port) {
    return q7m::platform::joinPath(folder, "COM" + std::to_string(port) + ".zcf");
}

// verify, diff and metrics: the unit read whole (live values, both
// blocks, the upload stamp) and compared with its baseline when there is a
// folder.  The link is open and the versions are read.
void survey(const SiteWork& work, UnitResult& r, RecordReporter& rep) {
    int16_t vol = 0, fmt = 0;
    uint8_t mute = 0;
    zelk::SystemBlock system;
    zelk::AudioBlock audio;
    unsigned e = GetVol(&vol);
    if (!e) e = GetMute(&mute);
    if (!e) e = GetFormat(&fmt);
    if (e) {
        rep.link("reading live values", e);
        return;
    }
    if (unsigned eb = GetSystem(system.data())) {
        rep.link("reading the system block", eb);
        return;
    }
    if (unsigned eb = GetAudio(audio.data())) {
        rep.link("reading the audio block", eb);
        return;
    }
    r.faderTenths = vol;
    r.fader = std::to_string(vol / 10) + "." + std::to_string(vol % 10);
    r.mute = mute ? "on" : "off";
    r.formatIndex = fmt >= 0 && fmt < 6 ? fmt : -1;
    r.format = fmt >= 0 && fmt < 6 ? kFormatNames[fmt] : "?";
    const zelk::UnpackedStamp stamp = zelk::UnpackUploadStamp(audio);
    r.lastUploadTime = stampSeconds(stamp);
    if (r.lastUploadTime >= 0) r.lastUpload = zelk::stampText(stamp);
    r.state = kAnswered;
    if (work.folder.empty()) return;

    const std::string path = baselinePath(work.folder, r.port);
    ConfigFile file;
    if (q7m::platform::pathKind(path) == q7m::platform::PathKind::Missing) {
        r.state = kNoBaseline;
        r.result = "there is no " + path;
        return;
    }
    if (const std::string why = loadConfigFile(path, file); !why.empty()) {
        r.state = kNoBaseline;
        r.result = path + " cannot serve as the baseline: " + why;
        return;
    }
    // The baseline over the unit's own blocks: the bytes a ".zcf" does not
    // hold are the unit's, so only the baseline's settings can differ.
    zelk::ConfigData unit;
    unit.systemBlock = system;
    unit.audioBlock = audio;
    zelk::ConfigData wanted = unit;
    if (!applyFile(file, wanted)) {
        r.state = kNoBaseline;
        r.result = path + " could not be read a second time";
        return;
    }
    r.baseline = path;
    auto diffs = zelk::compareConfigurations(wanted.systemBlock, wanted.audioBlock, unit.systemBlock, unit.audioBlock);
    if (work.only) diffs = zelk::inSections(std::move(diffs), *work.only);
    for (const auto& d : diffs) r.differences.push_back({d.name, d.left, d.right});
    r.state = r.differences.empty() ? kMatches : kDiffers;
}

// The worker's whole job on one port.
UnitResult workOn(int port, const SiteWork& work) {
    const auto started = std::chrono::steady_clock::now();
    UnitResult r;
    r.port = port;
    RecordReporter rep(port);
    const bool reading = surveys(work.command);
    auto finish = [&] {
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (reading && r.state.empty()) r.state = kNoAnswer;
        return r;
    };
    if (work.speed != 0)
        if (const std::string why = speedRefusal(port, work.speed); !why.empty()) {
            r.error = why + " Nothing was done.";
            return finish();
        }
    if (unsigned e = InitDLL(port)) {
        // A port another program holds (the editor, a terminal) is busy:
        // the unit behind it may be perfectly well.
        const q7m::PortStatus why = (e & LINK_ERR_PORT) ? q7m::diagnosePort(port) : q7m::PortStatus{};
        if (reading && why.fault == q7m::PortFault::InUse) {
            r.state = kBusy;
            r.error = "busy: " + why.sentence;
        } else {
            rep.link("connecting", e);
            r.error = rep.failure;
        }
        if (reading && r.state.empty()) r.state = kNoAnswer;
        return finish();
    }
    if (work.speed != 0) {
        const SpeedChange c = changeSpeed(0, work.speed);
        if (c != SpeedChange::Confirmed) {
            r.error = speedChangeMessage(c, 0, work.speed, port) + "; nothing was done";
            DLLShutdown();
            return finish();
        }
    }
    int16_t v[7] = {};
    if (unsigned e = GetUnitVersion(v)) {
        rep.link("reading versions", e);
    } else {
        r.cpu = twoDigits(v[0], v[1]);
        if (v[2] != 0) {
            char build[16];
            std::snprintf(build, sizeof build, ".%04d", v[2]);
            r.cpu += build;
        }
        r.dspController = twoDigits(v[3], v[4]);
        r.dspFirmware = twoDigits(v[5], v[6]);
    }
    if (rep.failure.empty() && !stopSignal()) {
        if (work.command == "live") {
            int16_t vol = 0, fmt = 0;
            uint8_t mute = 0;
            unsigned e = GetVol(&vol);
            if (!e) e = GetMute(&mute);
            if (!e) e = GetFormat(&fmt);
            if (e) {
                rep.link("reading live values", e);
            } else {
                r.fader = std::to_string(vol / 10) + "." + std::to_string(vol % 10);
                r.mute = mute ? "on" : "off";
                r.format = fmt >= 0 && fmt < 6 ? kFormatNames[fmt] : "?";
                rep.done("Fader " + r.fader + ", mute " + r.mute + ", " + r.format);
            }
        } else if (work.command == "backup") {
            backup(baselinePath(work.folder, port), rep, true);
        } else if (reading) {
            survey(work, r, rep);
        }
    }
    if (work.speed != 0) {
        SpeedChange back = changeSpeed(work.speed, 0);
        if (back == SpeedChange::Reverted) back = changeSpeed(work.speed, 0);
        if (back != SpeedChange::Confirmed)
            rep.fail("the return to 9600 bit/s failed: " + speedChangeMessage(back, work.speed, 0, port));
    }
    DLLShutdown();
    if (stopSignal()) rep.fail("stopped by signal " + std::to_string(stopSignal()));
    if (r.result.empty()) r.result = rep.result;
    r.error = rep.failure;
    if (reading && r.state.empty()) r.state = kNoAnswer;
    r.ok = r.error.empty() && (!reading || r.state == kMatches || r.state == kAnswered);
    return finish();
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void printText(const UnitResult& r) {
    std::string line = "COM" + std::to_string(r.port);
    line.resize(std::max<std::size_t>(line.size() + 1, 7), ' ');
    line += r.ok ? "ok      " : "FAILED  ";
    if (!r.cpu.empty()) line += "CPU " + r.cpu + "  DSP " + r.dspController + "/" + r.dspFirmware + "  ";
    line += r.ok ? r.result : r.error;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
}

// verify and diff: "COM3   2 settings differ: Left Channel trim (baseline
// 0 dB, unit -0.5 dB); ...", "COM4   no baseline: there is no ...".  With
// --only, what was compared is said: "matches the trims of FOLDER/COM3.zcf",
// "1 setting differs in the trims: ...".
void printComparison(const UnitResult& r, bool table, const std::optional<zelk::SectionSet>& only) {
    std::string line = "COM" + std::to_string(r.port);
    line.resize(std::max<std::size_t>(line.size() + 1, 7), ' ');
    const std::size_t n = r.differences.size();
    const std::string sections = only ? zelk::sectionsText(*only) : "";
    if (r.state == kMatches) {
        line += "matches " + (only ? "the " + sections + " of " : std::string()) + r.baseline;
    } else if (r.state == kDiffers) {
        line += std::to_string(n) + (n == 1 ? " setting differs" : " settings differ") +
                (only ? " in the " + sections : std::string()) + ": ";
        for (std::size_t i = 0; i < n; ++i)
            line += (i ? "; " : "") + r.differences[i].setting + " (baseline " + r.differences[i].baseline +
                    ", unit " + r.differences[i].unit + ")";
    } else {
        std::string why = r.error.empty() ? r.result : r.error;
        if (r.state == kBusy && why.rfind("busy: ", 0) == 0) why = why.substr(6);
        line += r.state + (why.empty() ? "" : ": " + why);
    }
    std::printf("%s\n", line.c_str());
    if (table && r.state == kDiffers) {
        std::vector<zelk::FieldDifference> diffs;
        for (const auto& d : r.differences) {
            zelk::FieldDifference f;
            f.name = d.setting;
            f.left = d.baseline;
            f.right = d.unit;
            diffs.push_back(f);
        }
        const std::string name = "COM" + std::to_string(r.port) + ".zcf";
        std::string t = zelk::differencesTable(diffs, name, "Unit");
        for (std::size_t at = 0; at < t.size(); at = t.find('\n', at) + 1) t.insert(at, "    ");
        std::printf("%s", t.c_str());
    }
}

void printJson(const std::vector<UnitResult>& results) {
    std::printf("[\n");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const auto& r = results[i];
        std::string o = "  {\"port\": " + std::to_string(r.port) + ", \"ok\": " + (r.ok ? "true" : "false");
        auto field = [&](const char* name, const std::string& v) {
            if (!v.empty()) o += std::string(", \"") + name + "\": " + jsonString(v);
        };
        field("state", r.state);
        field("cpu", r.cpu);
        field("dspController", r.dspController);
        field("dspFirmware", r.dspFirmware);
        field("fader", r.fader);
        if (!r.mute.empty()) o += std::string(", \"mute\": ") + (r.mute == "on" ? "true" : "false");
        field("format", r.format);
        if (!r.state.empty()) {
            if (r.formatIndex >= 0) o += ", \"formatIndex\": " + std::to_string(r.formatIndex);
            field("lastUpload", r.lastUpload);
            if (r.lastUploadTime >= 0) o += ", \"lastUploadTime\": " + std::to_string(r.lastUploadTime);
            field("baseline", r.baseline);
            if (r.state == kMatches || r.state == kDiffers) {
                o += ", \"differences\": [";
                for (std::size_t k = 0; k < r.differences.size(); ++k)
                    o += std::string(k ? ", " : "") + "{\"setting\": " + jsonString(r.differences[k].setting) +
                         ", \"baseline\": " + jsonString(r.differences[k].baseline) +
                         ", \"unit\": " + jsonString(r.differences[k].unit) + "}";
                o += "]";
            }
        }
        field("result", r.result);
        field("error", r.error);
        std::printf("%s}%s\n", o.c_str(), i + 1 < results.size() ? "," : "");
    }
    std::printf("]\n");
}

}  // namespace

std::string parsePortList(const std::string& text, std::vector<int>& ports) {
    ports.clear();
    auto number = [](const std::string& s, int& n) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), n);
        return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && n >= 1 && n <= 255;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        int a = 0, b = 0;
        if (dash == std::string::npos ? !number(item, a) : !number(item.substr(0, dash), a) || !number(item.substr(dash + 1), b))
            return "'" + item + "' is not a port number from 1 to 255 or a range such as 5-8";
        if (dash == std::string::npos) b = a;
        if (b < a) return "the range '" + item + "' runs backwards";
        for (int p = a; p <= b; ++p) ports.push_back(p);
        start = comma + 1;
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return {};
}

std::vector<int> mappedPorts() {
    // The library's own reading of its port map.
    std::vector<int> ports;
    for (int n = 1; n <= 255; ++n) {
        const q7m::PortMapping m = q7m::mapPort(n);
        if (m.fromTable && m.target.kind != q7m::PortTarget::Kind::None) ports.push_back(n);
    }
    return ports;
}

bool siteCommand(const std::string& command) {
    return command == "version" || command == "live" || command == "backup" || surveys(command);
}

std::string checkSiteWork(SiteWork& work) {
    using q7m::platform::PathKind;
    const std::string& c = work.command;
    if (c == "backup") {
        if (work.folder.empty()) return "backup across ports writes COMn.zcf files into a folder: name it";
        const PathKind kind = q7m::platform::pathKind(work.folder);
        if (kind != PathKind::Folder && kind != PathKind::Missing)
            return "backup across ports writes COMn.zcf files into a folder: " + work.folder + " is not a folder";
        if (kind == PathKind::Missing && !q7m::platform::makeDirectories(work.folder))
            return "cannot make the folder " + work.folder + ": " + std::strerror(errno);
        if (!q7m::platform::folderWritable(work.folder)) return "no permission to write in the folder " + work.folder;
    }
    if (c == "verify" || c == "diff" || (c == "metrics" && !work.folder.empty())) {
        const std::string what = c == "metrics" ? "--baseline" : c + " across ports";
        if (work.folder.empty())
            return what + " compares each unit with its own FOLDER/COMn.zcf: name the folder of baselines";
        if (q7m::platform::pathKind(work.folder) != PathKind::Folder)
            return what + " compares each unit with its own FOLDER/COMn.zcf: " + work.folder +
                   " is not an existing folder";
    }
    return {};
}

namespace {

// Each unit's work in a worker of its own; its result travels back as one
// line.
std::vector<UnitResult> workOnEach(const std::vector<int>& ports, const SiteWork& work) {
    std::vector<UnitResult> results;
    for (const WorkerAnswer& a : runWorkers(ports, [&work](int port) { return serialise(workOn(port, work)); })) {
        UnitResult r;
        if (!deserialise(a.line, r)) {
            r = UnitResult{};
            r.port = a.port;
            r.error = a.why;
        }
        results.push_back(r);
    }
    return results;
}

}  // namespace

int runSite(const std::vector<int>& ports, const SiteWork& work, bool json) {
    const auto started = std::chrono::steady_clock::now();
    if (work.command == "metrics")
        if (const std::string why = checkBackupTarget(work.file); !why.empty()) {
            std::fprintf(stderr, "q7mctl: cannot write the metrics to %s: %s\n", work.file.c_str(), why.c_str());
            return 1;
        }
    std::vector<UnitResult> results = workOnEach(ports, work);
    // A port whose worker could not start is a unit not read.
    for (int port : ports)
        if (std::none_of(results.begin(), results.end(), [port](const UnitResult& r) { return r.port == port; })) {
            UnitResult r;
            r.port = port;
            r.state = surveys(work.command) ? kNoAnswer : "";
            r.error = "no worker could be started for it";
            results.push_back(r);
        }
    std::sort(results.begin(), results.end(), [](const UnitResult& a, const UnitResult& b) { return a.port < b.port; });
    for (auto& r : results)
        if (surveys(work.command) && r.state.empty()) r.state = kNoAnswer;  // a worker that ended without a result

    if (work.command == "metrics") {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const auto saved =
            q7m::platform::writeFileAtomically(work.file, metricsText(results, !work.folder.empty(), seconds));
        if (!saved) {
            std::fprintf(stderr, "q7mctl: cannot write the metrics to %s: %s\n", work.file.c_str(),
                         saved.error.c_str());
            return 1;
        }
        if (json) printJson(results);
        else
            for (const auto& r : results) printText(r);
        return stopSignal() ? 128 + stopSignal() : 0;
    }

    const bool comparing = work.command == "verify" || work.command == "diff";
    if (json) printJson(results);
    else
        for (const auto& r : results) comparing ? printComparison(r, work.command == "diff", work.only) : printText(r);
    if (stopSignal()) return 128 + stopSignal();
    if (comparing) {
        auto any = [&](const char* state) {
            return std::any_of(results.begin(), results.end(), [state](const UnitResult& r) { return r.state == state; });
        };
        if (any(kDiffers)) return kDifferent;
        return std::all_of(results.begin(), results.end(), [](const UnitResult& r) { return r.ok; }) ? 0 : 1;
    }
    bool allOk = true;
    for (const auto& r : results) allOk = allOk && r.ok;
    return allOk ? 0 : 1;
}

}  // namespace q7mctl
