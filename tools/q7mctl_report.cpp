#include "q7mctl_report.h"

#include <cstdio>

#include "form/error_text.h"
#include "port/port_map.h"
#include "q7mslib.h"

namespace q7mctl {

namespace {
#ifdef _WIN32
const char* const kDialoutHint =
    "is the port present (Device Manager, \"Ports (COM & LPT)\") or mapped in ZelkSerial.ini, and not in use by "
    "another program?";
#else
const char* const kDialoutHint = "is the port mapped in ZelkSerial.ini, and are you a member of the 'dialout' group?";
#endif

std::string bitText(int bit) {
    const auto line = zelk::errorBitLine(bit);
    if (!line.empty()) return std::string(line.substr(line.rfind("- ", 0) == 0 ? 2 : 0));
    return bit == 11 ? "Value out of range" : "";
}
}  // namespace

std::string portFailure(int port) {
    const q7m::PortStatus s = q7m::diagnosePort(port);
    if (!s.sentence.empty()) return s.sentence;
    // Nothing is wrong with it now (it was busy a moment ago, or came back).
    return q7m::describePort(port) + "; it could not be opened a moment ago and opens now: try again.";
}

const char* portHint() { return kDialoutHint; }

std::string errorWordText(unsigned word) {
    std::string s;
    for (int bit = 0; bit < 16; ++bit) {
        if (!(word & (1u << bit))) continue;
        const std::string t = bitText(bit);
        if (!t.empty()) s += (s.empty() ? "" : ", ") + t;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", word);
    return s + (s.empty() ? "" : " ") + "(" + hex + ")";
}

int PrintReporter::link(const char* what, unsigned word) {
    std::fprintf(stderr, "q7mctl: %s failed (error word 0x%04X)\n", what, word);
    for (int bit = 0; bit < 16; ++bit) {
        if (!(word & (1u << bit))) continue;
        const auto line = zelk::errorBitLine(bit);
        if (!line.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        else if (bit == 11) std::fputs("- Value out of range\n", stderr);
    }
    if (word & LINK_ERR_PORT) std::fprintf(stderr, "  %s\n", portFailure(port_).c_str());
    return 1;
}

int PrintReporter::fail(const std::string& message) {
    std::fprintf(stderr, "q7mctl: %s\n", message.c_str());
    return 1;
}

void PrintReporter::done(const std::string& message) { std::printf("%s\n", message.c_str()); }

int RecordReporter::link(const char* what, unsigned word) {
    std::string line = std::string(what) + " failed: " + errorWordText(word);
    if (word & LINK_ERR_PORT) line += ": " + portFailure(port_);
    failure += (failure.empty() ? "" : "; ") + line;
    return 1;
}

int RecordReporter::fail(const std::string& message) {
    failure += (failure.empty() ? "" : "; ") + message;
    return 1;
}

}  // namespace q7mctl
