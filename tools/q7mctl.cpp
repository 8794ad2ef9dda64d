// q7mctl - command-line client of the Q7M link library, for technicians and
// scripts.  Exit status 0 on success, 1 on a link or unit failure, 2 on bad
// usage (with the cause named), 128 + N when stopped by signal N.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "q7mctl_field.h"
#include "q7mctl_files.h"
#include "q7mctl_history.h"
#include "q7mctl_link.h"
#include "q7mctl_report.h"
#include "q7mctl_site.h"
#include "platform/files.h"
#include "q7mslib.h"

using namespace q7mctl;

namespace {

const char* const kFormatNames[6] = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital", "NONSYNC"};

struct CommandInfo {
    const char* name;
    int args;
    const char* synopsis;
};
const CommandInfo kCommands[] = {
    {"version", 0, "version"},
    {"live", 0, "live"},
    {"vol", 1, "vol LEVEL          (0.0 to 9.9)"},
    {"mute", 1, "mute on|off"},
    {"format", 1, "format N|NAME      (0-5 or Mono, A-TYPE, SR-TYPE, EXTERNAL 6-TRK, ZELK Digital, NONSYNC)"},
    {"dump", 0, "dump"},
    {"backup", 1, "backup [FILE.zcf]"},
    {"restore", 1, "restore FILE.zcf|FILE.cfg"},
    {"recover", 0, "recover"},
    {"diff", 2, "diff FILE|unit [FILE|unit]"},
    {"verify", 1, "verify FILE.zcf|FILE.cfg"},
    {"report", 1, "report FILE.pdf"},
    {"metrics", 1, "metrics FILE.prom"},
    {"history", 0, "history"},
};

// The arguments a command can do without: backup's file (the as-found
// archive then) and diff's second side (the unit then).
int optionalArgs(const std::string& name) { return name == "backup" || name == "diff" ? 1 : 0; }

void usage(FILE* to) {
    std::fputs(
        "usage: q7mctl [-p PORT] [-s SPEED] [--only SECTIONS] [--reason TEXT] COMMAND [ARG]\n"
        "       q7mctl {-p LIST | --all} [-s SPEED] [--json] version | live | backup FOLDER |\n"
        "              verify FOLDER | diff FOLDER\n"
        "       q7mctl {-p LIST | --all} [--baseline FOLDER] metrics FILE.prom\n"
        "  -p PORT    port number 1-255 (COMn in ZelkSerial.ini), default 1\n"
        "  -p LIST    several ports, such as 1,3,5-8: the command runs on all of them at once\n"
        "  --all      every port mapped in ZelkSerial.ini\n"
        "  --json     the per-unit results as JSON (with a list, --all or one port)\n"
        "  -s SPEED   9600 (default) or 19200; the unit is set back to 9600 at the end\n"
        "  --only SECTIONS  restore, diff and verify take only these sections of the file, comma-separated:\n"
        "             options, trims, eq (every channel's equaliser), eq:left, eq:center, eq:right,\n"
        "             eq:left-surround, eq:right-surround, eq:sub, obe\n"
        "  --reason TEXT    why the restore is made, kept in the unit's history\n"
        "commands:\n"
        "  version          print the unit's CPU, DSP controller and DSP firmware versions\n"
        "  live             print fader, mute and format\n"
        "  vol LEVEL        set the fader, 0.0 .. 9.9\n"
        "  mute on|off      mute or un-mute\n"
        "  format N|NAME    select format 0..5 (Mono, A-TYPE, SR-TYPE, EXTERNAL 6-TRK, ZELK Digital, NONSYNC)\n"
        "  dump             print the system and audio blocks in hex\n"
        "  backup FILE.zcf  read the unit's configuration into a configuration file\n"
        "  backup           the same, into a new file of the as-found archive (never overwritten;\n"
        "                   AsFoundMaxFiles in service.ini caps it, the oldest go first)\n"
        "  restore FILE     upload the blocks of a .zcf or .cfg file (system, then audio); the file\n"
        "                   is checked completely before anything is sent; the blocks are read back\n"
        "                   afterwards and any setting the unit did not keep is named (status 1);\n"
        "                   with --only, the unit's own settings with only those sections from the\n"
        "                   file (a block with nothing changed is not sent); when the audio block\n"
        "                   fails, the unit's previous system block is sent back (status 1)\n"
        "  diff A [B]       the settings that differ between A and B, each a configuration file or\n"
        "                   the word unit (B: the unit when left out), in the editor's words and units\n"
        "  verify FILE      whether the unit holds the settings of FILE (nothing is sent)\n"
        "  report FILE.pdf  the service report of the unit as a PDF (no display needed)\n"
        "  history          what the unit on the port received and why, newest first (--json too)\n"
        "  recover          find a unit left at another speed (9600, 19200, 38400, 57600) and set\n"
        "                   it back to 9600\n"
        "across many ports: one line per unit (port, result, versions, what was done);\n"
        "  backup FOLDER writes FOLDER/COMn.zcf for each unit (the folder is made when missing; the\n"
        "                theater information of a COMn.zcf it replaces is kept); status 1 when any failed\n"
        "  verify FOLDER compares each unit with its baseline FOLDER/COMn.zcf: matches, N settings\n"
        "                differ (named), no baseline, no answer, or busy (another program holds the\n"
        "                port); status 3 when any differs, else 1 when any was not compared\n"
        "  diff FOLDER   the same, with a table of each unit's differences\n"
        "  metrics FILE  writes the units' state for node_exporter's textfile collector (Prometheus\n"
        "                text format), atomically; --baseline FOLDER adds the comparison with the\n"
        "                baselines; status 0 when the file was written, 1 when not\n"
        "exit status: 0 done, 1 the link or the unit failed, 2 bad usage, 3 diff or verify found\n"
        "  differences, 128+N stopped by signal N\n",
        to);
}

// A usage error: the cause, the command's form, status 2.
int refuse(const std::string& why, const CommandInfo* cmd = nullptr) {
    std::fprintf(stderr, "q7mctl: %s\n", why.c_str());
    if (cmd) std::fprintf(stderr, "usage: q7mctl [-p PORT] [-s SPEED] %s\n", cmd->synopsis);
    else usage(stderr);
    return 2;
}

void hexDump(const char* title, const uint8_t* data, int n) {
    std::printf("%s (%d bytes)\n", title, n);
    for (int i = 0; i < n; i += 16) {
        std::printf("  %03d:", i);
        for (int j = i; j < i + 16 && j < n; ++j) std::printf(" %02X", data[j]);
        std::printf("\n");
    }
}

int parseFormat(const std::string& s) {
    if (s.size() == 1 && s[0] >= '0' && s[0] <= '5') return s[0] - '0';
    for (int i = 0; i < 6; ++i)
        if (sameIgnoringCase(s, kFormatNames[i])) return i;
    return -1;
}

// A whole number within [lo, hi], digits only.
bool parseInt(const std::string& s, int lo, int hi, int& out) {
    int v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

// A fader level "7", "6.5" (the decimal point whatever the locale) as tenths.
bool parseLevel(const std::string& s, int& tenths) {
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !(v >= 0 && v <= 9.9)) return false;
    tenths = static_cast<int>(std::lround(v * 10));
    return true;
}

struct Invocation {
    int port = 1;
    std::vector<int> ports;  // several ports, --all or --json: the site form
    bool site = false, all = false, json = false;
    int speed = 0;  // rate index
    const CommandInfo* cmd = nullptr;
    std::string arg;
    std::string baseline;  // metrics --baseline FOLDER
    // Checked before connecting.
    int level = 0, format = 0;
    bool mute = false;
    bool fileOnly = false;  // diff of two files: no unit needed
    std::optional<zelk::SectionSet> only;  // --only
    std::string reason;                    // --reason
    ConfigFile file;
    DiffSide left, right;
};

SiteWork siteWork(const Invocation& inv) {
    const std::string name = inv.cmd->name;
    return SiteWork{name, name == "metrics" ? inv.baseline : inv.arg, name == "metrics" ? inv.arg : "", inv.speed};
}

// Parses and checks the whole command line; 0 or the exit status.
int parse(int argc, char** argv, Invocation& inv) {
    int i = 1;
    bool speedGiven = false;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(stdout);
            std::exit(0);
        }
        if (a == "--all" || a == "--json") {
            (a == "--all" ? inv.all : inv.json) = true;
            continue;
        }
        if (a == "--baseline") {
            if (i + 1 >= argc) return refuse(a + " needs a folder");
            inv.baseline = argv[++i];
            continue;
        }
        if (a != "-p" && a != "-s" && a != "--only" && a != "--reason") return refuse("unknown option " + a);
        if (i + 1 >= argc) return refuse(a + " needs a value");
        const std::string v = argv[++i];
        if (a == "--only") {
            zelk::SectionSet set;
            if (const std::string why = zelk::parseSections(v, set); !why.empty()) return refuse("--only " + v + ": " + why);
            inv.only = set;
            continue;
        }
        if (a == "--reason") {
            if (v.find_first_of("\r\n") != std::string::npos) return refuse("--reason takes one line of text");
            inv.reason = v;
            continue;
        }
        if (a == "-p" && v.find_first_of(",-") != std::string::npos) {
            if (const std::string why = parsePortList(v, inv.ports); !why.empty())
                return refuse(std::string("-p ").append(v).append(": ").append(why));
        } else if (a == "-p") {
            if (!parseInt(v, 1, 255, inv.port)) return refuse("-p needs a port number from 1 to 255, not '" + v + "'");
            inv.ports = {inv.port};
        }
        if (a == "-s") {
            if (v == "9600") inv.speed = 0;
            else if (v == "19200") inv.speed = 1;
            else return refuse("-s takes 9600 or 19200, not '" + v + "'");
            speedGiven = true;
        }
    }
    if (i >= argc) return refuse("no command given");
    const std::string name = argv[i++];
    for (const auto& c : kCommands)
        if (name == c.name) inv.cmd = &c;
    if (!inv.cmd) return refuse("unknown command '" + name + "'");
    const int given = argc - i;
    if (given < inv.cmd->args - optionalArgs(name)) return refuse("'" + name + "' needs an argument", inv.cmd);
    if (given > inv.cmd->args) {
        const std::string extra = argv[i + inv.cmd->args];
        return refuse("unexpected argument '" + extra + "'" +
                          (extra[0] == '-' ? " (options go before the command)" : ""),
                      inv.cmd);
    }
    if (given > 0) inv.arg = argv[i];
    if (inv.all && !inv.ports.empty()) return refuse("give either -p or --all, not both");
    if (inv.only && name != "restore" && name != "diff" && name != "verify")
        return refuse("--only works with restore, diff and verify", inv.cmd);
    if (!inv.reason.empty() && name != "restore") return refuse("--reason goes with restore", inv.cmd);
    if (name == "history") {
        if (inv.all || inv.ports.size() > 1) return refuse("history reads one port's history: give a single port with -p", inv.cmd);
        return 0;
    }
    // verify and diff of a folder compare each unit with its own baseline.
    const bool folderArg = (name == "verify" || (name == "diff" && given == 1)) &&
                           q7m::platform::pathKind(inv.arg) == q7m::platform::PathKind::Folder;
    inv.site = inv.all || inv.json || inv.ports.size() > 1 || name == "metrics" || folderArg;
    if (!inv.baseline.empty() && name != "metrics") return refuse("--baseline goes with metrics");
    if (inv.site && inv.only)
        return refuse("--only works on one unit at a time: across ports, verify and diff compare every setting",
                      inv.cmd);
    if (inv.site) {
        if (!siteCommand(name))
            return refuse("'" + name + "' works on one port at a time: give a single port with -p (lists, --all and "
                          "--json serve version, live, backup, verify, diff and metrics)");
        if (name == "diff" && given > 1) return refuse("diff across ports takes one folder of baselines", inv.cmd);
        if (inv.all) {
            inv.ports = mappedPorts();
            if (inv.ports.empty())
                return refuse("--all: no port is mapped in the [Ports] section of ZelkSerial.ini (COMn=/dev/...)");
        }
        if (inv.ports.empty()) inv.ports = {inv.port};
        SiteWork work = siteWork(inv);
        if (const std::string why = checkSiteWork(work); !why.empty()) return refuse(why, inv.cmd);
        return 0;
    }
    if (name == "recover" && speedGiven) return refuse("recover tries every speed itself: leave out -s", inv.cmd);

    if (name == "vol" && !parseLevel(inv.arg, inv.level))
        return refuse("the fader runs from 0.0 to 9.9, not '" + inv.arg + "'", inv.cmd);
    if (name == "mute") {
        if (inv.arg != "on" && inv.arg != "off") return refuse("mute takes on or off, not '" + inv.arg + "'", inv.cmd);
        inv.mute = inv.arg == "on";
    }
    if (name == "format" && (inv.format = parseFormat(inv.arg)) < 0)
        return refuse("unknown format '" + inv.arg + "'", inv.cmd);
    if (name == "backup" && !inv.arg.empty()) {
        if (const std::string why = checkBackupTarget(inv.arg); !why.empty())
            return refuse("cannot back up to " + inv.arg + ": " + why, inv.cmd);
    }
    if (name == "restore" || name == "verify") {
        if (const std::string why = loadConfigFile(inv.arg, inv.file); !why.empty())
            return refuse("cannot " + name + " " + inv.arg + ": " + why +
                              (name == "restore" ? "; nothing was sent to the unit" : ""),
                          inv.cmd);
    }
    if (name == "diff") {
        const std::string second = given > 1 ? argv[i + 1] : "unit";
        if (const std::string why = loadDiffSide(inv.arg, inv.left); !why.empty())
            return refuse("cannot compare " + inv.arg + ": " + why, inv.cmd);
        if (const std::string why = loadDiffSide(second, inv.right); !why.empty())
            return refuse("cannot compare " + second + ": " + why, inv.cmd);
        inv.fileOnly = !inv.left.unit && !inv.right.unit;
    }
    if (name == "report") {
        if (!canWriteReports())
            return refuse("this q7mctl was built without Qt, which writes the PDF: build it with Qt 6 (qt6-base-dev)",
                          inv.cmd);
        if (inv.arg.size() < 5 || inv.arg.compare(inv.arg.size() - 4, 4, ".pdf") != 0)
            return refuse("the report is a PDF: give a file name ending in .pdf, not '" + inv.arg + "'", inv.cmd);
        if (const std::string why = checkBackupTarget(inv.arg); !why.empty())
            return refuse("cannot write the report to " + inv.arg + ": " + why, inv.cmd);
    }
    return 0;
}

int runCommand(const Invocation& inv, Reporter& out) {
    const std::string name = inv.cmd->name;
    if (name == "version") {
        int16_t v[7] = {};
        if (unsigned e = GetUnitVersion(v)) return out.link("reading versions", e);
        std::printf("CPU Version: %d.%02d", v[0], v[1]);
        if (v[2] != 0) std::printf(".%04d", v[2]);
        std::printf("\nDSP Controller: %d.%02d\nDSP Firmware: %d.%02d\n", v[3], v[4], v[5], v[6]);
    } else if (name == "live") {
        int16_t vol = 0, fmt = 0;
        uint8_t mute = 0;
        unsigned e = GetVol(&vol);
        if (!e) e = GetMute(&mute);
        if (!e) e = GetFormat(&fmt);
        if (e) return out.link("reading live values", e);
        std::printf("Fader: %d.%d\nMute: %s\nFormat: %s\n", vol / 10, vol % 10, mute ? "on" : "off",
                    fmt >= 0 && fmt < 6 ? kFormatNames[fmt] : "?");
    } else if (name == "vol") {
        if (unsigned e = SetVol(inv.level)) return out.link("setting the fader", e);
    } else if (name == "mute") {
        if (unsigned e = SetMute(inv.mute ? 1 : 0)) return out.link("setting mute", e);
    } else if (name == "format") {
        if (unsigned e = SelectFormat(inv.format)) return out.link("selecting the format", e);
    } else if (name == "dump") {
        uint8_t sys[128], aud[224];
        if (unsigned e = GetSystem(sys)) return out.link("reading the system block", e);
        if (unsigned e = GetAudio(aud)) return out.link("reading the audio block", e);
        hexDump("System block", sys, 128);
        hexDump("Audio block", aud, 224);
    } else if (name == "backup") {
        return inv.arg.empty() ? backupToArchive(inv.port, out) : backup(inv.arg, out);
    } else if (name == "diff") {
        return diff(inv.left, inv.right, inv.only, out);
    } else if (name == "verify") {
        return verifyFile(inv.file, inv.only, out);
    } else if (name == "report") {
        return report(inv.arg, inv.port, out);
    } else if (name == "restore") {
        return restore(inv.file, RestoreRequest{inv.only, inv.reason, inv.port, inv.speed}, out,
                       [] { return stopSignal() != 0; });
    }
    return 0;
}

// The closing return to 9600, confirmed; a second try when the unit missed
// the first.  Returns "" or what went wrong.
std::string backTo9600(const Invocation& inv) {
    SpeedChange r = changeSpeed(inv.speed, 0);
    if (r == SpeedChange::Reverted) r = changeSpeed(inv.speed, 0);
    return speedChangeMessage(r, inv.speed, 0, inv.port);
}

}  // namespace

int main(int argc, char** argv) {
    Invocation inv;
    if (const int status = parse(argc, argv, inv)) return status;
    installSignalHandlers();
    if (inv.site) return runSite(inv.ports, siteWork(inv), inv.json);
    if (std::strcmp(inv.cmd->name, "recover") == 0) {
        const int status = recoverSpeed(inv.port);
        return stopSignal() ? 128 + stopSignal() : status;
    }

    if (std::strcmp(inv.cmd->name, "history") == 0) return printHistory(inv.port, inv.json);

    PrintReporter out(inv.port);
    if (inv.fileOnly) return diff(inv.left, inv.right, inv.only, out);
    // A port that cannot change its speed (raw TCP) is refused before
    // anything reaches the unit, rather than doing the work at 9600.
    if (inv.speed != 0)
        if (const std::string why = speedRefusal(inv.port, inv.speed); !why.empty())
            return out.fail(why + " Nothing was done.");
    if (unsigned e = InitDLL(inv.port)) return out.link("connecting", e);
    int status = 0;
    if (inv.speed != 0 && !stopSignal()) {
        const SpeedChange r = changeSpeed(0, inv.speed);
        if (r != SpeedChange::Confirmed) {
            std::fprintf(stderr, "q7mctl: %s; nothing was done\n", speedChangeMessage(r, 0, inv.speed, inv.port).c_str());
            DLLShutdown();
            return 1;
        }
    }
    if (!stopSignal()) status = runCommand(inv, out);

    if (inv.speed != 0) {
        if (const std::string why = backTo9600(inv); !why.empty()) {
            std::fprintf(stderr, "q7mctl: the return to 9600 bit/s failed: %s\n", why.c_str());
            status = 1;
        }
    }
    DLLShutdown();
    if (const int sig = stopSignal()) {
        std::fprintf(stderr, "q7mctl: stopped by signal %d (%s)%s\n", sig, signalName(sig),
                     inv.speed != 0 && status == 0 ? "; the unit is back at 9600 bit/s" : "");
        return 128 + sig;
    }
    return status;
}
