// q7mctl - command-line client of the Q7M link library, for technicians and
// scripts.  Exit status 0 on success, 1 on a link failure, 2 on bad usage.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "q7m_error_text.h"
#include "q7mctl_files.h"
#include "q7mslib.h"

namespace {

const char* const kFormatNames[6] = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital", "NONSYNC"};

void usage(FILE* to) {
    std::fputs(
        "usage: q7mctl [-p PORT] [-s SPEED] COMMAND [ARG]\n"
        "  -p PORT    port number (COMn in ZelkSerial.ini), default 1\n"
        "  -s SPEED   9600 (default) or 19200; the unit is set back to 9600 at the end\n"
        "commands:\n"
        "  version          print the unit's CPU, DSP controller and DSP firmware versions\n"
        "  live             print fader, mute and format\n"
        "  vol LEVEL        set the fader, 0.0 .. 9.9\n"
        "  mute on|off      mute or un-mute\n"
        "  format N|NAME    select format 0..5 (Mono, A-TYPE, SR-TYPE, EXTERNAL 6-TRK, ZELK Digital, NONSYNC)\n"
        "  dump             print the system and audio blocks in hex\n"
        "  backup FILE.zcf  read the unit's configuration into a configuration file\n"
        "  restore FILE     upload the blocks of a .zcf or .cfg file (system, then audio)\n",
        to);
}

int report(const char* what, unsigned word) {
    std::fprintf(stderr, "q7mctl: %s failed (error word 0x%04X)\n", what, word);
    for (int bit = 0; bit < 16; ++bit) {
        if (!(word & (1u << bit))) continue;
        const auto line = q7m::errorBitLine(bit);
        if (!line.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        else if (bit == 11) std::fputs("- Value out of range\n", stderr);
    }
    if (word & LINK_ERR_PORT)
        std::fputs("  (is the port mapped in ZelkSerial.ini, and are you a member of the 'dialout' group?)\n", stderr);
    return 1;
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
        if (strcasecmp(s.c_str(), kFormatNames[i]) == 0) return i;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 1;
    int speed = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            usage(stderr);
            return 2;
        }
        if (a == "-p") {
            port = std::atoi(argv[++i]);
        } else if (a == "-s") {
            const int bps = std::atoi(argv[++i]);
            speed = bps == 9600 ? 0 : bps == 19200 ? 1 : -1;
            if (speed < 0) {
                std::fprintf(stderr, "q7mctl: speed must be 9600 or 19200\n");
                return 2;
            }
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (i >= argc) {
        usage(stderr);
        return 2;
    }
    const std::string cmd = argv[i];
    const std::string arg = i + 1 < argc ? argv[i + 1] : "";
    const bool needsArg = cmd == "vol" || cmd == "mute" || cmd == "format" || cmd == "backup" || cmd == "restore";
    if (needsArg && arg.empty()) {
        usage(stderr);
        return 2;
    }

    if (unsigned e = InitDLL(port)) return report("connecting", e);
    int status = 0;
    if (speed != 0) {
        if (unsigned e = SetDLLBaud(speed)) {
            DLLShutdown();
            return report("changing speed", e);
        }
    }

    if (cmd == "version") {
        int16_t v[7] = {};
        if (unsigned e = GetUnitVersion(v)) {
            status = report("reading versions", e);
        } else {
            std::printf("CPU Version: %d.%02d", v[0], v[1]);
            if (v[2] != 0) std::printf(".%04d", v[2]);
            std::printf("\nDSP Controller: %d.%02d\nDSP Firmware: %d.%02d\n", v[3], v[4], v[5], v[6]);
        }
    } else if (cmd == "live") {
        int16_t vol = 0, fmt = 0;
        uint8_t mute = 0;
        unsigned e = GetVol(&vol);
        if (!e) e = GetMute(&mute);
        if (!e) e = GetFormat(&fmt);
        if (e) status = report("reading live values", e);
        else
            std::printf("Fader: %d.%d\nMute: %s\nFormat: %s\n", vol / 10, vol % 10, mute ? "on" : "off",
                        kFormatNames[fmt]);
    } else if (cmd == "vol") {
        char* end = nullptr;
        const double v = std::strtod(arg.c_str(), &end);
        if (*end || v < 0 || v > 9.9) {
            std::fprintf(stderr, "q7mctl: the fader runs from 0.0 to 9.9\n");
            status = 2;
        } else if (unsigned e = SetVol(static_cast<int>(v * 10 + 0.5))) {
            status = report("setting the fader", e);
        }
    } else if (cmd == "mute") {
        if (arg != "on" && arg != "off") {
            std::fprintf(stderr, "q7mctl: mute takes on or off\n");
            status = 2;
        } else if (unsigned e = SetMute(arg == "on" ? 1 : 0)) {
            status = report("setting mute", e);
        }
    } else if (cmd == "format") {
        const int f = parseFormat(arg);
        if (f < 0) {
            std::fprintf(stderr, "q7mctl: unknown format '%s'\n", arg.c_str());
            status = 2;
        } else if (unsigned e = SelectFormat(f)) {
            status = report("selecting the format", e);
        }
    } else if (cmd == "dump") {
        uint8_t sys[128], aud[224];
        if (unsigned e = GetSystem(sys)) status = report("reading the system block", e);
        else if (unsigned e2 = GetAudio(aud)) status = report("reading the audio block", e2);
        else {
            hexDump("System block", sys, 128);
            hexDump("Audio block", aud, 224);
        }
    } else if (cmd == "backup") {
        status = q7mctl::backup(arg, report);
    } else if (cmd == "restore") {
        status = q7mctl::restore(arg, report);
    } else {
        usage(stderr);
        status = 2;
    }

    if (speed != 0) SetDLLBaud(0);
    DLLShutdown();
    return status;
}
