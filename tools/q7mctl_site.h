// q7mctl_site.h - q7mctl across a whole site: the same command on many
// ports side by side, one worker process per port (the library holds one
// port per process), one summary line (or JSON object) per unit.
#ifndef Q7MCTL_SITE_H
#define Q7MCTL_SITE_H

#include <string>
#include <vector>

namespace q7mctl {

// Parses "1,3,5-8" into sorted, distinct port numbers 1-255.  Returns "" or
// what is wrong with the list.
std::string parsePortList(const std::string& text, std::vector<int>& ports);

// The ports mapped in the [Ports] section of ZelkSerial.ini (COMn=...).
std::vector<int> mappedPorts();

struct SiteWork {
    std::string command;  // version, live or backup
    std::string folder;   // backup: COMn.zcf files go here
    int speed = 0;        // rate index for the work; back to 9600 at the end
};

// True when `command` can run across many ports.
bool siteCommand(const std::string& command);

// Runs `work` on every port at once and prints one line per unit in port
// order (or a JSON array).  Returns 0 when every unit succeeded, 1 when any
// failed, 128 + N when stopped by signal N (the workers set their units
// back to 9600 first).
int runSite(const std::vector<int>& ports, const SiteWork& work, bool json);

}  // namespace q7mctl

#endif
