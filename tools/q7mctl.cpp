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
#include "q7mctl_support.h"
#include "platform/files.h"
#include "q7mslib.h"

using namespace q7mctl;

namespace {

const char* const kFormatNames[6] = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital", "NONSYNC"};

struct CommandInfo;

struct Invocation {
    int port = 1;
    std::vector<int> ports;  // several ports, --all or --json: the site form
    bool site = false, all = false, json = false;
    int speed = 0;  // rate index
    bool speedGiven = false;
    const CommandInfo* cmd = nullptr;
    std::string arg, second;  // the command's arguments
    int given = 0;            // how many it was given
    std::string baseline;  // metrics --baseline FOLDER
    // Checked before connecting.
    int level = 0, format = 0;
    bool mute = false;
    bool fileOnly = false;  // diff of two files: no unit needed
    bool portGiven = false, includeTheater = false;  // support
    std::optional<zelk::SectionSet> only;  // --only
    std::string reason;                    // --reason
    ConfigFile file;
    DiffSide left, right;
};

// A command's own check of its arguments, made before connecting: "" or
// why they are refused.
using CheckArguments = std::string (*)(Invocation&);

struct CommandInfo {
    const char* name;
    int args;
    const char* synopsis;
    CheckArguments check = nullptr;
};

std::string checkVol(Invocation& inv);
std::string checkMute(Invocation& inv);
std::string checkFormat(Invocation& inv);
std::string checkBackup(Invocation& inv);
std::string checkFileToLoad(Invocation& inv);
std::string checkRecover(Invocation& inv);
std::string checkDiff(Invocation& inv);
std::string checkReport(Invocation& inv);
std::string checkSupport(Invocation& inv);

const CommandInfo kCommands[] = {
    {"version", 0, "version"},
    {"live", 0, "live"},
    {"vol", 1, "vol LEVEL          (0.0 to 9.9)", checkVol},
    {"mute", 1, "mute on|off", checkMute},
    {"format", 1, "format N|NAME      (0-5 or Mono, A-TYPE, SR-TYPE, EXTERNAL 6-TRK, ZELK Digital, NONSYNC)",
     checkFormat},
    {"dump", 0, "dump"},
    {"backup", 1, "backup [FILE.zcf]", checkBackup},
    {"restore", 1, "restore FILE.zcf|FILE.cfg", checkFileToLoad},
    {"recover", 0, "recover", checkRecover},
    {"diff", 2, "diff FILE|unit [FILE|unit]", checkDiff},
    {"verify", 1, "verify FILE.zcf|FILE.cfg", checkFileToLoad},
    {"report", 1, "report FILE.pdf", checkReport},
    {"support", 2, "support FILE.tar.gz [--include-theater]", checkSupport},
    {"metrics", 1, "metrics FILE.prom"},
    {"history", 0, "history"},
};

// The arguments a command can do without: backup's file (the as-found
// archive then) and diff's second side (the unit then).
int optionalArgs(const std::string& name) { return name == "backup" || name == "diff" || name == "support" ? 1 : 0; }

void usage(FILE* to) {
    std::fputs(
        "usage: q7mctl [-p PORT] [-s SPEED] [--only SECTIONS] [--reason TEXT] COMMAND [ARG]\n"
        "       q7mctl {-p LIST | --all} [-s SPEED] [--json] version | live | backup FOLDER\n"
        "       q7mctl {-p LIST | --all} [-s SPEED] [--json] [--only SECTIONS] verify FOLDER | diff FOLDER\n"
        "       q7mctl {-p LIST | --all} [--baseline FOLDER] metrics FILE.prom\n"
        "  -p PORT    port number 1-255 (COMn in ZelkSerial.ini), default 1\n"
        "  -p LIST    several ports, such as 1,3,5-8: the command runs on all of them at once\n"
        "  --all      every port mapped in ZelkSerial.ini\n"
        "  --json     the per-unit results as JSON (with a list, --all or one port)\n"
        "  -s SPEED   9600 (default) or 19200; the unit is set back to 9600 at the end\n"
        "  --only SECTIONS  restore, diff and verify take only these sections of the file (across ports,\n"
        "             of each unit's baseline), comma-separated:\n"
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
        "                   it back to 9600\n",
        to);
    if (canWriteSupportBundle())
        std::fputs(
            "  support FILE.tar.gz [--include-theater]\n"
            "                   one archive for the support desk: versions (the unit's with -p), the port\n"
            "                   table, the editor's settings, the last as-found files and the editor's\n"
            "                   session traces; theater texts and host names only with --include-theater\n",
            to);
    else
        std::fputs("  support          not in this build: the support bundle needs libarchive\n", to);
    std::fputs(
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

SiteWork siteWork(const Invocation& inv) {
    const std::string name = inv.cmd->name;
    return SiteWork{name, name == "metrics" ? inv.baseline : inv.arg, name == "metrics" ? inv.arg : "", inv.speed,
                    inv.only};
}

// The options before the command.  Each sets its part of the invocation
// from its value (when it takes one): "" or why the value is refused.
struct OptionInfo {
    const char* name;
    const char* value;  // what its value is ("a value", "a folder"); null when it takes none
    std::string (*apply)(Invocation& inv, const std::string& value);
};

const OptionInfo kOptions[] = {
    {"--all", nullptr,
     [](Invocation& inv, const std::string&) {
         inv.all = true;
         return std::string();
     }},
    {"--json", nullptr,
     [](Invocation& inv, const std::string&) {
         inv.json = true;
         return std::string();
     }},
    {"--baseline", "a folder",
     [](Invocation& inv, const std::string& v) {
         inv.baseline = v;
         return std::string();
     }},
    {"--only", "a value",
     [](Invocation& inv, const std::string& v) {
         zelk::SectionSet set;
         if (const std::string why = zelk::parseSections(v, set); !why.empty()) return "--only " + v + ": " + why;
         inv.only = set;
         return std::string();
     }},
    {"--reason", "a value",
     [](Invocation& inv, const std::string& v) {
         if (v.find_first_of("\r\n") != std::string::npos) return std::string("--reason takes one line of text");
         inv.reason = v;
         return std::string();
     }},
    {"-p", "a value",
     [](Invocation& inv, const std::string& v) {
         if (v.find_first_of(",-") != std::string::npos) {
             const std::string why = parsePortList(v, inv.ports);
             return why.empty() ? why : "-p " + v + ": " + why;
         }
         if (!parseInt(v, 1, 255, inv.port)) return "-p needs a port number from 1 to 255, not '" + v + "'";
         inv.ports = {inv.port};
         inv.portGiven = true;
         return std::string();
     }},
    {"-s", "a value",
     [](Invocation& inv, const std::string& v) {
         if (v != "9600" && v != "19200") return "-s takes 9600 or 19200, not '" + v + "'";
         inv.speed = v == "9600" ? 0 : 1;
         inv.speedGiven = true;
         return std::string();
     }},
};

// Reads the options from argv[i] on, leaving i at the command.  0 or the
// exit status.
int parseOptions(int argc, char** argv, int& i, Invocation& inv) {
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(stdout);
            std::exit(0);
        }
        const OptionInfo* option = nullptr;
        for (const auto& o : kOptions)
            if (a == o.name) option = &o;
        if (!option) return refuse("unknown option " + a);
        std::string value;
        if (option->value) {
            if (i + 1 >= argc) return refuse(a + " needs " + option->value);
            value = argv[++i];
        }
        if (const std::string why = option->apply(inv, value); !why.empty()) return refuse(why);
    }
    return 0;
}

// The command and its arguments, counted.  0 or the exit status.
int parseCommand(int argc, char** argv, int i, Invocation& inv) {
    if (i >= argc) return refuse("no command given");
    const std::string name = argv[i++];
    for (const auto& c : kCommands)
        if (name == c.name) inv.cmd = &c;
    if (!inv.cmd) return refuse("unknown command '" + name + "'");
    inv.given = argc - i;
    if (inv.given < inv.cmd->args - optionalArgs(name)) return refuse("'" + name + "' needs an argument", inv.cmd);
    if (inv.given > inv.cmd->args) {
        const std::string extra = argv[i + inv.cmd->args];
        return refuse("unexpected argument '" + extra + "'" +
                          (extra[0] == '-' ? " (options go before the command)" : ""),
                      inv.cmd);
    }
    if (inv.given > 0) inv.arg = argv[i];
    if (inv.given > 1) inv.second = argv[i + 1];
    return 0;
}

// The command across many ports: its ports and its folder.  0 or the exit
// status.
int checkSite(Invocation& inv) {
    const std::string name = inv.cmd->name;
    if (!siteCommand(name))
        return refuse("'" + name + "' works on one port at a time: give a single port with -p (lists, --all and "
                      "--json serve version, live, backup, verify, diff and metrics)");
    if (name == "diff" && inv.given > 1) return refuse("diff across ports takes one folder of baselines", inv.cmd);
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

// Parses and checks the whole command line; 0 or the exit status.
int parse(int argc, char** argv, Invocation& inv) {
    int i = 1;
    if (const int status = parseOptions(argc, argv, i, inv)) return status;
    if (const int status = parseCommand(argc, argv, i, inv)) return status;
    const std::string name = inv.cmd->name;
    if (inv.all && !inv.ports.empty()) return refuse("give either -p or --all, not both");
    if (inv.only && name != "restore" && name != "diff" && name != "verify")
        return refuse("--only works with restore, diff and verify", inv.cmd);
    if (!inv.reason.empty() && name != "restore") return refuse("--reason goes with restore", inv.cmd);
    if (name == "history") {
        if (inv.all || inv.ports.size() > 1) return refuse("history reads one port's history: give a single port with -p", inv.cmd);
        return 0;
    }
    // verify and diff of a folder compare each unit with its own baseline.
    const bool folderArg = (name == "verify" || (name == "diff" && inv.given == 1)) &&
                           q7m::platform::pathKind(inv.arg) == q7m::platform::PathKind::Folder;
    inv.site = inv.all || inv.json || inv.ports.size() > 1 || name == "metrics" || folderArg;
    if (!inv.baseline.empty() && name != "metrics") return refuse("--baseline goes with metrics");
    if (inv.site) return checkSite(inv);
    if (inv.cmd->check)
        if (const std::string why = inv.cmd->check(inv); !why.empty()) return refuse(why, inv.cmd);
    return 0;
}

std::string checkVol(Invocation& inv) {
    if (!parseLevel(inv.arg, inv.level)) return "the fader runs from 0.0 to 9.9, not '" + inv.arg + "'";
    return {};
}

std::string checkMute(Invocation& inv) {
    if (inv.arg != "on" && inv.arg != "off") return "mute takes on or off, not '" + inv.arg + "'";
    inv.mute = inv.arg == "on";
    return {};
}

std::string checkFormat(Invocation& inv) {
    if ((inv.format = parseFormat(inv.arg)) < 0) return "unknown format '" + inv.arg + "'";
    return {};
}

std::string checkBackup(Invocation& inv) {
    if (inv.arg.empty()) return {};  // into the as-found archive
    const std::string why = checkBackupTarget(inv.arg);
    return why.empty() ? why : "cannot back up to " + inv.arg + ": " + why;
}

// restore and verify: the whole file read and checked first.
std::string checkFileToLoad(Invocation& inv) {
    const std::string name = inv.cmd->name;
    const std::string why = loadConfigFile(inv.arg, inv.file);
    if (why.empty()) return {};
    return "cannot " + name + " " + inv.arg + ": " + why + (name == "restore" ? "; nothing was sent to the unit" : "");
}

std::string checkRecover(Invocation& inv) {
    return inv.speedGiven ? "recover tries every speed itself: leave out -s" : "";
}

std::string checkDiff(Invocation& inv) {
    const std::string second = inv.given > 1 ? inv.second : "unit";
    if (const std::string why = loadDiffSide(inv.arg, inv.left); !why.empty())
        return "cannot compare " + inv.arg + ": " + why;
    if (const std::string why = loadDiffSide(second, inv.right); !why.empty())
        return "cannot compare " + second + ": " + why;
    inv.fileOnly = !inv.left.unit && !inv.right.unit;
    return {};
}

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string checkSupport(Invocation& inv) {
    if (!canWriteSupportBundle()) return "this q7mctl was built without libarchive, which writes the support bundle";
    if (!inv.second.empty() && inv.second != "--include-theater")
        return "support takes --include-theater after the file name, not '" + inv.second + "'";
    inv.includeTheater = !inv.second.empty();
    if (inv.arg.size() < 8 || (!endsWith(inv.arg, ".tar.gz") && !endsWith(inv.arg, ".tgz")))
        return "the support bundle is a .tar.gz archive: give a file name ending in .tar.gz";
    const std::string why = checkBackupTarget(inv.arg);
    return why.empty() ? why : "cannot write the support bundle to " + inv.arg + ": " + why;
}

std::string checkReport(Invocation& inv) {
    if (!canWriteReports()) return "this q7mctl was built without Qt, which writes the PDF: build it with Qt 6 (qt6-base-dev)";
    if (!endsWith(inv.arg, ".pdf")) return "the report is a PDF: give a file name ending in .pdf, not '" + inv.arg + "'";
    const std::string why = checkBackupTarget(inv.arg);
    return why.empty() ? why : "cannot write the report to " + inv.arg + ": " + why;
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

    if (std::strcmp(inv.cmd->name, "support") == 0)
        return supportBundle(inv.arg, inv.includeTheater, inv.portGiven, inv.port);
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
