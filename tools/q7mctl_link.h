// q7mctl_link.h - the link as q7mctl manages it around a command: line
// speed changes confirmed with the unit, a return to 9600 bit/s on every
// way out (signals included), and finding a unit left at another speed.
#ifndef Q7MCTL_LINK_H
#define Q7MCTL_LINK_H

#include <csignal>
#include <string>

namespace q7mctl {

// SIGINT, SIGTERM and SIGHUP only set a flag: the library call under way
// ends (its time-outs are bounded), then q7mctl sets the unit back to 9600
// and exits with 128 + the signal number.
// (q7mctl_signals_posix.cpp, q7mctl_signals_win32.cpp)
void installSignalHandlers();
// The signal received, or 0.  On Windows Ctrl-C and Ctrl-Break count as
// SIGINT, closing the console window as SIGTERM.
int stopSignal();
// Its name, as strsignal gives it ("Interrupt", "Terminated", "Hangup").
const char* signalName(int sig);

// True when the unit answers the version query at the port's present rate
// (two tries, the line reset in between).
bool unitAnswers();

enum class SpeedChange {
    Confirmed,  // the unit answers at the new rate
    Refused,    // the port cannot run at the new rate: nothing was sent, both ends stay
    Reverted,   // it did not; both ends are back at the old rate and it answers there
    Lost        // it answers at neither rate
};

// Moves the unit and the port from rate index `from` to `to`, then checks
// with the version query that the unit answers at the new rate; when it
// does not, moves both back and checks again.
SpeedChange changeSpeed(int from, int to);

// Why port `port` cannot run the line at rate index `to` (a raw TCP port's
// speed is fixed by its server), or "" when it can.  Asked before anything
// is sent, so a refused change leaves the unit where it is.
std::string speedRefusal(int port, int to);

// The message for a speed change that did not end as asked, or "".
std::string speedChangeMessage(SpeedChange result, int from, int to, int port);

// Finds the unit on `port` at whatever rate it answers (9600, 19200, 38400,
// 57600, each with the version query) and brings it back to 9600.  Prints
// what it found; returns the exit status.
int recoverSpeed(int port);

}  // namespace q7mctl

#endif
