// q7mctl_site.h - q7mctl across a whole site: the same command on many
// ports side by side, one worker process per port (the library holds one
// port per process), one summary line (or JSON object) per unit.
//
// version, live and backup do their work on each unit.  verify, diff and
// metrics read each unit whole (versions, live values, both blocks) and,
// given a baseline folder, compare it with its own FOLDER/COMn.zcf: the
// approved configuration of that screen (verify and diff: only some of its
// sections when asked).
#ifndef Q7MCTL_SITE_H
#define Q7MCTL_SITE_H

#include <optional>
#include <string>
#include <vector>

#include "model/sections.h"

namespace q7mctl {

// Parses "1,3,5-8" into sorted, distinct port numbers 1-255.  Returns "" or
// what is wrong with the list.
std::string parsePortList(const std::string& text, std::vector<int>& ports);

// The ports mapped in the [Ports] section of ZelkSerial.ini (COMn=...).
std::vector<int> mappedPorts();

struct SiteWork {
    std::string command;  // version, live, backup, verify, diff or metrics
    std::string folder;   // backup: COMn.zcf files go here; verify, diff, metrics: the baselines
    std::string file;     // metrics: the file to write
    int speed = 0;        // rate index for the work; back to 9600 at the end
    std::optional<zelk::SectionSet> only;  // verify, diff: only these sections are compared
};

// True when `command` can run across many ports.
bool siteCommand(const std::string& command);

// Checks the site form's argument of `work` before any unit is read (a
// backup folder is made when missing).  Returns "" or why it is refused.
std::string checkSiteWork(SiteWork& work);

// Unit states of verify, diff and metrics.
inline const char* const kMatches = "matches";
inline const char* const kDiffers = "differs";
inline const char* const kNoBaseline = "no baseline";
inline const char* const kNoAnswer = "no answer";
inline const char* const kBusy = "busy";  // another program holds the port
inline const char* const kAnswered = "on line";  // metrics without baselines

struct Difference {
    std::string setting, baseline, unit;  // in the editor's words and units
};

// What one worker found out about its unit.
struct UnitResult {
    int port = 0;
    bool ok = false;
    std::string state;                            // verify, diff, metrics
    std::string cpu, dspController, dspFirmware;  // versions, when read
    std::string fader, mute, format;              // live values, when read
    int faderTenths = -1, formatIndex = -1;       // the same as numbers; -1 unread
    std::string lastUpload;                       // the upload stamp, "3:07 PM 25/03/04"
    long long lastUploadTime = -1;                // the same in seconds since 1970; -1 never stamped
    std::string baseline;                         // the baseline file compared with
    std::vector<Difference> differences;
    double seconds = 0;                           // how long the unit took
    std::string result, error;
};

// Runs `work` on every port at once and prints one line per unit in port
// order (or a JSON array).  Returns 0 when every unit succeeded, 1 when any
// failed, 128 + N when stopped by signal N (the workers set their units
// back to 9600 first).  verify and diff: 3 when any unit differs from its
// baseline, else 1 when any could not be compared (no baseline, no answer,
// busy), else 0.  metrics: 0 when the file was written, 1 when not.
int runSite(const std::vector<int>& ports, const SiteWork& work, bool json);

}  // namespace q7mctl

#endif
