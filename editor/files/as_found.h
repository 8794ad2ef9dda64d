// as_found.h - the as-found archive: the configuration a unit held when it
// was first read on a visit, kept as a ".zcf" file in a per-user folder,
// named by theater, screen, processor serial and time, never overwritten.
// A setting caps the number of files; the oldest go first, and every
// removal is reported to the caller to be said.  The editor and q7mctl
// write the same archive.
#ifndef ZELK_FILES_AS_FOUND_H
#define ZELK_FILES_AS_FOUND_H

#include <string>
#include <vector>

#include "files/config_file.h"
#include "form/services.h"

namespace zelk {

// The field tools' own settings, kept in "service.ini" in the data folder
// (one "Key=value" a line) so settings.dat keeps its six lines.
struct ServiceSettings {
    bool showDifferencesBeforeUpload = false;
    int asFoundMaxFiles = 500;  // 0: no cap
    bool askReasonBeforeUpload = false;
};
inline constexpr int kAsFoundDefaultMax = 500;
std::string serviceSettingsPath(const std::string& dataDir);
// Missing or damaged lines keep the defaults.
ServiceSettings readServiceSettings(const std::string& path);
bool writeServiceSettings(const std::string& path, const ServiceSettings& s);

// The editor's data folder ($ZELKVELQ_DATA_DIR, else $XDG_DATA_HOME/zelkvelq,
// else ~/.local/share/zelkvelq) and the archive in it.
std::string defaultDataDirectory();
std::string asFoundDirectory(const std::string& dataDir);

// Where a configuration was read: the port number and what the port map
// gave for it ("/dev/ttyUSB0", "socket://10.0.0.7:4001").
struct UnitSource {
    int port = 0;  // 0: not known
    std::string target;
};

// "Rex_Cinema_screen-2_SN-A1234_2026-12-08_143012.zcf": each part made safe
// for any file system; an empty part reads "unknown".  A unit without any
// theater information is named by its port: "COM3_2026-12-08_143012.zcf".
std::string asFoundFileName(const std::string& theater, const std::string& screen, const std::string& serial,
                            const LocalTime& when, int port = 0);

// An as-found file records where it was read in one line after the
// configuration: "As found on","COM3","/dev/ttyUSB0".  Readers of
// configuration files stop after the configuration's last value and never
// see it.
std::string sourceLine(const UnitSource& source);
// The source a configuration file's text records (port 0 when none: files
// kept before it was recorded).
UnitSource recordedSource(const std::string& text);
// The text without its source line, as a configuration file.
std::string withoutSource(const std::string& text);

struct KeepResult {
    std::string path;                  // the file written, or "" when none was
    std::string error;                 // why it was not written
    std::vector<std::string> removed;  // the oldest files removed to keep the cap
    explicit operator bool() const { return !path.empty(); }
};

// Writes `data`, read from `source`, into the archive folder `dir` (made
// when missing) under the name for its theater texts (or port) and `when`.  An existing file is never
// replaced: a name already taken gets "-2", "-3"...  Then, while the folder
// holds more than `maxFiles` archive files, the oldest (by the time in
// their names) other than the new one are removed.
KeepResult keepAsFound(const std::string& dir, const ConfigData& data, const LocalTime& when, int maxFiles,
                       const UnitSource& source = {});

struct AsFoundEntry {
    std::string path, fileName;
    std::string theater, screen, serial;  // from the file's theater texts
    std::string when;                     // "2026-12-08 14:30:12", from the name
    UnitSource source;                    // where it was read, when recorded
    bool readable = true;
};
// The archive's files, by theater, then screen, then newest first.
std::vector<AsFoundEntry> listAsFound(const std::string& dir);

// The time of the newest file of each port ("2026-12-08 14:30:12"), from
// the files that record their port.
std::vector<std::pair<int, std::string>> newestAsFoundByPort(const std::string& dir);

// "The as-found archive holds at most 500 files: removed the oldest, A.zcf
// and B.zcf." or "" when nothing was removed.
std::string prunedNote(const std::vector<std::string>& removed, int maxFiles);

}  // namespace zelk

#endif
