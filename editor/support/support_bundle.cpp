#include "support/support_bundle.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/as_found.h"
#include "files/config_file.h"
#include "files/history.h"
#include "platform/files.h"
#include "support/session.h"

namespace zelk {

namespace {

std::string readAll(const std::string& path, bool& found) {
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// "2026-12-08_143012" for a file name, "2026-12-08 14:30:12" to read.
std::string stamp(const LocalTime& t, bool forName) {
    char buf[96];
    std::snprintf(buf, sizeof buf, forName ? "%04d-%02d-%02d_%02d%02d%02d" : "%04d-%02d-%02d %02d:%02d:%02d", t.year,
                  t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

// The host a port target leads to ("socket://booth-3:4001": "booth-3";
// an IPv6 address without its brackets), or "" when it names none.
std::string targetHost(const std::string& target) {
    const auto scheme = target.find("://");
    if (scheme == std::string::npos) return "";
    std::size_t start = scheme + 3, end;
    if (start < target.size() && target[start] == '[') {
        end = target.find(']', start);
        if (end == std::string::npos) return "";
        ++start;
    } else {
        end = target.find_first_of(":/?", start);
        if (end == std::string::npos) end = target.size();
    }
    std::string host = target.substr(start, end - start);
    while (!host.empty() && (host.back() == ' ' || host.back() == '\t')) host.pop_back();
    return host;
}

}  // namespace

std::vector<std::string> bundleContents(Words w) {
    return {w.translate("Support", "the versions of the program, the link library, Qt and the operating system, and "
                                   "the unit's when on line"),
            w.translate("Support", "the port table (ZelkSerial.ini)"),
            w.translate("Support", "the editor's settings (settings.dat, service.ini, windows.ini, editor.ini)"),
            fill(w.translate("Support", "the last %1 as-found configurations"), {std::to_string(kBundleAsFoundFiles)}),
            w.translate("Support", "each unit's upload history (history/)"),
            fill(w.translate("Support", "the line trace of the editor's last two sessions (the last %1 lines of each) "
                                        "and their crash notes"),
                 {std::to_string(kTraceLines)})};
}

std::string bundleFileName(const LocalTime& when) { return "zelkvelq-support-" + stamp(when, true) + ".tar.gz"; }


std::vector<std::string> portTableHosts(const std::string& iniText) {
    std::vector<std::string> hosts;
    std::istringstream in(iniText);
    std::string line;
    bool ports = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        if (line[first] == '[') {
            std::string section = line.substr(first);
            std::transform(section.begin(), section.end(), section.begin(), [](unsigned char c) { return std::tolower(c); });
            ports = section.rfind("[ports]", 0) == 0;
            continue;
        }
        if (!ports) continue;
        const std::string host = targetHost(line);
        if (!host.empty() && std::find(hosts.begin(), hosts.end(), host) == hosts.end()) hosts.push_back(host);
    }
    return hosts;
}

std::string withoutHosts(std::string text, const std::vector<std::string>& hosts) {
    // Longest first, so "booth-3.example" goes before "booth-3".  A history
    // file's name carries the host as a file name may ("fe80_1" for fe80::1).
    std::vector<std::pair<std::string, std::string>> order;
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        order.emplace_back(hosts[i], "host-" + std::to_string(i + 1));
        if (const std::string named = historyNamePart(hosts[i]); named != hosts[i] && !named.empty())
            order.emplace_back(named, "host-" + std::to_string(i + 1));
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [host, stand] : order) {
        for (std::size_t at = text.find(host); at != std::string::npos; at = text.find(host, at + stand.size()))
            text.replace(at, host.size(), stand);
    }
    return text;
}

std::vector<BundleEntry> collectBundle(const BundleSources& src) {
    std::vector<BundleEntry> out;
    std::vector<std::string> notes;  // what was not there, for the README
    bool found = false;
    const std::string ini = readAll(src.configDir + "/ZelkSerial.ini", found);
    // The port table's hosts, and those of targets the histories name that
    // the table no longer holds (a unit moved), as they are found.
    std::vector<std::string> hosts = src.includeTheater ? std::vector<std::string>{} : portTableHosts(ini);
    auto add = [&](const std::string& name, const std::string& content) {
        out.push_back({name, withoutHosts(content, hosts)});
    };

    std::string versions;
    for (const auto& [what, value] : src.versions) versions.append(what).append(": ").append(value).append("\n");
    if (src.includeTheater) versions += "Host name: " + hostName() + "\n";
    add("versions.txt", versions);

    if (found) add("ZelkSerial.ini", ini);
    else notes.push_back("ZelkSerial.ini: not found in " + src.configDir);
    for (const char* name : {"settings.dat", "service.ini", "windows.ini", "editor.ini"}) {
        const std::string text = readAll(src.dataDir + "/" + name, found);
        if (found) add(name, text);
        else notes.push_back(std::string(name) + ": not found");
    }

    // The newest as-found files; without theater texts their names (which
    // carry them) become as-found-1.zcf (the newest), as-found-2.zcf...
    std::vector<AsFoundEntry> found_ = listAsFound(asFoundDirectory(src.dataDir));
    std::stable_sort(found_.begin(), found_.end(), [](const AsFoundEntry& a, const AsFoundEntry& b) { return a.when > b.when; });
    int kept = 0;
    for (const AsFoundEntry& e : found_) {
        if (kept == kBundleAsFoundFiles) break;
        bool readable = false;
        std::string text = readAll(e.path, readable);
        if (!readable) continue;
        ++kept;
        std::string name = e.fileName;
        if (!src.includeTheater) {
            ConfigData d;
            if (parseConfigText(text, d) != ReadResult::Ok) {
                notes.push_back(e.fileName + ": not a configuration file, left out");
                --kept;
                continue;
            }
            for (auto& t : d.TheaterInfo) t.clear();
            text = configFileText(d);
            name = "as-found-" + std::to_string(kept) + ".zcf";
        }
        add("as-found/" + name, text);
    }

    // Each unit's upload history.  Its records carry no theater texts, but
    // the file a record names (an as-found file's name carries the theater)
    // is left out with them; the port targets' hosts as everywhere.
    std::error_code ec;
    std::vector<std::string> histories;
    for (const auto& e : std::filesystem::directory_iterator(historyDirectory(src.dataDir), ec))
        if (e.path().extension() == ".jsonl") histories.push_back(e.path().filename().string());
    std::sort(histories.begin(), histories.end());
    for (const std::string& name : histories) {
        const auto file = q7m::platform::readSmallFile(historyDirectory(src.dataDir) + "/" + name, kMaxHistoryBytes);
        if (file.status != q7m::platform::SmallFile::Status::Ok) {
            notes.push_back("history/" + withoutHosts(name, hosts) + ": too large or unreadable, left out");
            continue;
        }
        if (src.includeTheater) {
            add("history/" + name, file.bytes);
            continue;
        }
        std::string text;
        int damaged = 0;
        std::istringstream lines(file.bytes);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            HistoryRecord r;
            if (!parseHistoryLine(line, r)) {
                ++damaged;  // it may hold anything
                continue;
            }
            if (!r.source.empty()) r.source = "(left out)";
            if (const std::string host = targetHost(r.target);
                !host.empty() && std::find(hosts.begin(), hosts.end(), host) == hosts.end())
                hosts.push_back(host);
            text += historyLine(r) + "\n";
        }
        if (damaged > 0)
            notes.push_back("history/" + withoutHosts(name, hosts) + ": " + std::to_string(damaged) +
                            " damaged line(s) left out");
        add("history/" + withoutHosts(name, hosts), text);
    }

    const std::pair<Which, const char*> sessions[] = {{Which::Current, "latest-session"}, {Which::Previous, "previous-session"}};
    for (const auto& [which, name] : sessions) {
        const std::string trace = sessionTrace(src.dataDir, which);
        if (!trace.empty()) add(std::string("trace/") + name + ".log", trace);
        const std::string crash = crashNote(src.dataDir, which);
        if (!crash.empty()) add(std::string("trace/") + name + "-crash.txt", crash);
    }

    std::string readme = "ZELK support bundle, written " + stamp(src.when, false) + " by " + src.writtenBy + ".\n\nIt holds:\n";
    for (const std::string& line : bundleContents()) readme += "- " + line + "\n";
    readme += src.includeTheater
                  ? "\nTheater information and host names are included.\n"
                  : "\nTheater information and host names are left out: the as-found files carry no theater texts "
                    "(and are renamed as-found-1.zcf, the newest, and on), the history's records do not name the "
                    "files they came from, the host's name is not given, and each network server of the port table "
                    "reads host-1, host-2... everywhere.\n";
    if (!notes.empty()) {
        readme += "\nNot included:\n";
        for (const std::string& n : notes) readme += "- " + n + "\n";
    }
    readme += "\nFiles:\n";
    for (const BundleEntry& e : out) readme += "  " + e.name + "\n";
    out.insert(out.begin(), BundleEntry{"README.txt", withoutHosts(readme, hosts)});
    return out;
}

}  // namespace zelk
