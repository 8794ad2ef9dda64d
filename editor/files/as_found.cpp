#include "files/as_found.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <system_error>

#include "form/translate.h"
#include "platform/files.h"

namespace zelk {

namespace fs = std::filesystem;

std::string serviceSettingsPath(const std::string& dataDir) { return dataDir + "/service.ini"; }

ServiceSettings readServiceSettings(const std::string& path) {
    ServiceSettings s;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "ShowDifferencesBeforeUpload") {
            if (value == "1" || value == "0") s.showDifferencesBeforeUpload = value == "1";
        } else if (key == "AskReasonBeforeUpload") {
            if (value == "1" || value == "0") s.askReasonBeforeUpload = value == "1";
        } else if (key == "AsFoundMaxFiles") {
            if (!value.empty() && value.size() <= 6 && value.find_first_not_of("0123456789") == std::string::npos)
                s.asFoundMaxFiles = std::stoi(value);
        }
    }
    return s;
}

bool writeServiceSettings(const std::string& path, const ServiceSettings& s) {
    if (!q7m::platform::makeDirectories(q7m::platform::parentDirectory(path))) return false;
    const std::string text = "ShowDifferencesBeforeUpload=" + std::string(s.showDifferencesBeforeUpload ? "1" : "0") +
                             "\nAsFoundMaxFiles=" + std::to_string(s.asFoundMaxFiles) +
                             "\nAskReasonBeforeUpload=" + (s.askReasonBeforeUpload ? "1" : "0") + "\n";
    return q7m::platform::writeFileAtomically(path, text).ok;
}

std::string defaultDataDirectory() { return q7m::platform::dataDirectory("ZELKVELQ_DATA_DIR", "zelkvelq"); }
std::string asFoundDirectory(const std::string& dataDir) { return dataDir + "/as-found"; }

namespace {

// Letters, digits, '-' and '+' stay, and '.' after a letter or digit;
// blanks and anything else become '_' (never two in a row, none at the
// ends); at most 40 characters.  Never a path, never a hidden file.
std::string namePart(const std::string& text) {
    auto alnum = [](unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    std::string out;
    for (unsigned char c : text) {
        const bool keep = alnum(c) || c == '-' || c == '+' ||
                          (c == '.' && !out.empty() && alnum(static_cast<unsigned char>(out.back())));
        if (keep) out += static_cast<char>(c);
        else if (!out.empty() && out.back() != '_') out += '_';
        if (out.size() >= 40) break;
    }
    while (!out.empty() && (out.back() == '_' || out.back() == '.')) out.pop_back();
    return out.empty() ? "unknown" : out;
}

bool isArchiveFile(const fs::directory_entry& e) {
    std::error_code ec;
    return e.is_regular_file(ec) && e.path().extension() == ".zcf";
}

// The time in an archive file's name ("..._2026-12-08_143012[-N].zcf") as
// "2026-12-08 14:30:12", or "" when the name has none.
std::string timeInName(const std::string& name) {
    static const std::regex pattern(R"(_(\d{4}-\d\d-\d\d)_(\d\d)(\d\d)(\d\d)(-\d{1,2})?\.zcf$)");
    std::smatch m;
    if (!std::regex_search(name, m, pattern)) return {};
    return m[1].str() + " " + m[2].str() + ":" + m[3].str() + ":" + m[4].str();
}

}  // namespace

std::string asFoundFileName(const std::string& theater, const std::string& screen, const std::string& serial,
                            const LocalTime& when, int port) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d", when.year % 10000, when.month % 100,
                  when.day % 100, when.hour % 100, when.minute % 100, when.second % 100);
    const bool unnamed = namePart(theater) == "unknown" && namePart(screen) == "unknown" && namePart(serial) == "unknown";
    if (unnamed && port > 0) return "COM" + std::to_string(port) + "_" + stamp + ".zcf";
    return namePart(theater) + "_screen-" + namePart(screen) + "_SN-" + namePart(serial) + "_" + stamp + ".zcf";
}

namespace {
const std::string kSourceMark = "\"As found on\",\"COM";

// A text as a quoted value: the format cannot carry a double quote.
std::string quoted(std::string s) {
    for (char& c : s)
        if (c == '"' || c == '\r' || c == '\n') c = c == '"' ? '\'' : ' ';
    return "\"" + s + "\"";
}

// Where the source line starts in `text`, or npos: a line of its own, the
// last one with content.
std::size_t sourceAt(const std::string& text) {
    const std::size_t at = text.rfind(kSourceMark);
    if (at == std::string::npos || at == 0 || text[at - 1] != '\n') return std::string::npos;
    const std::size_t end = text.find('\n', at);
    if (end != std::string::npos && text.find_first_not_of(" \t\r\n", end) != std::string::npos)
        return std::string::npos;
    return at;
}
}  // namespace

std::string sourceLine(const UnitSource& source) {
    return "\"As found on\"," + quoted("COM" + std::to_string(source.port)) + "," + quoted(source.target) + "\r\n";
}

UnitSource recordedSource(const std::string& text) {
    UnitSource s;
    const std::size_t at = sourceAt(text);
    if (at == std::string::npos) return s;
    static const std::regex line(R"re("As found on","COM(\d{1,3})","([^"]*)")re");
    std::smatch m;
    const std::string rest = text.substr(at, text.find('\n', at) - at);
    if (!std::regex_search(rest, m, line)) return s;
    s.port = std::stoi(m[1].str());
    s.target = m[2].str();
    return s;
}

std::string withoutSource(const std::string& text) {
    const std::size_t at = sourceAt(text);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string prunedNote(const std::vector<std::string>& removed, int maxFiles) {
    if (removed.empty()) return {};
    std::string names;
    for (std::size_t i = 0; i < removed.size(); ++i) {
        if (i > 0) names += i + 1 == removed.size() ? translate("Settings", " and ") : ", ";
        names += fs::path(removed[i]).filename().string();
    }
    return fill(translate("AsFound", "The as-found archive holds at most %1 files: removed the oldest, %2."),
                {std::to_string(maxFiles), names});
}

KeepResult keepAsFound(const std::string& dir, const ConfigData& data, const LocalTime& when, int maxFiles,
                       const UnitSource& source) {
    KeepResult r;
    if (!q7m::platform::makeDirectories(dir)) {
        r.error = fill(translate("AsFound", "cannot make the folder %1: %2"), {dir, std::strerror(errno)});
        return r;
    }
    const std::string name =
        asFoundFileName(data.TheaterInfo[1], data.TheaterInfo[8], data.TheaterInfo[7], when, source.port);
    const std::string stem = name.substr(0, name.size() - 4);
    // Take a name nobody has: the file is created exclusively first, so a
    // file already there (this second's, or another program's) stays.
    std::string path;
    for (int n = 1; n <= 99 && path.empty(); ++n) {
        const std::string candidate = dir + "/" + (n == 1 ? name : stem + "-" + std::to_string(n) + ".zcf");
        if (FILE* f = std::fopen(candidate.c_str(), "wx")) {
            std::fclose(f);
            path = candidate;
        } else if (errno != EEXIST) {
            r.error = fill(translate("AsFound", "cannot write in %1: %2"), {dir, std::strerror(errno)});
            return r;
        }
    }
    if (path.empty()) {
        r.error = translate("AsFound", "99 files of that name and second are already there");
        return r;
    }
    // The content replaces the empty file taken above in one step.
    const std::string text = configFileText(data) + (source.port > 0 ? sourceLine(source) : std::string());
    const auto saved = q7m::platform::writeFileAtomically(path, text);
    if (!saved) {
        std::remove(path.c_str());
        r.error = fill(translate("AsFound", "cannot write %1: %2"), {path, saved.error});
        return r;
    }
    r.path = path;

    if (maxFiles <= 0) return r;
    struct Aged {
        std::string key, path;
    };
    std::vector<Aged> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!isArchiveFile(e) || e.path().string() == path) continue;
        const std::string n = e.path().filename().string();
        std::string t = timeInName(n);
        if (t.empty()) continue;  // not one of the archive's own: never removed
        t.append(" ").append(n);
        files.push_back({std::move(t), e.path().string()});
    }
    std::sort(files.begin(), files.end(), [](const Aged& a, const Aged& b) { return a.key < b.key; });
    // The new file counts too.
    for (std::size_t i = 0; files.size() - i + 1 > static_cast<std::size_t>(maxFiles) && i < files.size(); ++i) {
        if (fs::remove(files[i].path, ec)) r.removed.push_back(files[i].path);
    }
    return r;
}

std::vector<std::pair<int, std::string>> newestAsFoundByPort(const std::string& dir) {
    std::map<int, std::string> newest;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!isArchiveFile(e)) continue;
        const std::string when = timeInName(e.path().filename().string());
        if (when.empty()) continue;
        const auto file = q7m::platform::readSmallFile(e.path().string(), 64LL * 1024);
        if (file.status != q7m::platform::SmallFile::Status::Ok) continue;
        const int port = recordedSource(file.bytes).port;
        if (port > 0 && when > newest[port]) newest[port] = when;
    }
    return {newest.begin(), newest.end()};
}

std::vector<AsFoundEntry> listAsFound(const std::string& dir) {
    std::vector<AsFoundEntry> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!isArchiveFile(e)) continue;
        AsFoundEntry a;
        a.path = e.path().string();
        a.fileName = e.path().filename().string();
        a.when = timeInName(a.fileName);
        ConfigData d;
        const auto file = q7m::platform::readSmallFile(a.path, 64LL * 1024);
        if (file.status == q7m::platform::SmallFile::Status::Ok && parseConfigText(file.bytes, d) == ReadResult::Ok) {
            a.theater = d.TheaterInfo[1];
            a.screen = d.TheaterInfo[8];
            a.serial = d.TheaterInfo[7];
            a.source = recordedSource(file.bytes);
        } else {
            a.readable = false;
            a.theater = "(unreadable file)";
        }
        out.push_back(std::move(a));
    }
    std::sort(out.begin(), out.end(), [](const AsFoundEntry& a, const AsFoundEntry& b) {
        if (a.theater != b.theater) return a.theater < b.theater;
        if (a.screen != b.screen) return a.screen < b.screen;
        if (a.when != b.when) return a.when > b.when;
        return a.fileName > b.fileName;
    });
    return out;
}

}  // namespace zelk
