// How q7mctl hears Ctrl-C, Ctrl-Break and a closing console on Windows:
// as SIGINT and SIGTERM.
#include <csignal>
#include <windows.h>

#include "q7mctl_link.h"

namespace q7mctl {

namespace {

volatile std::sig_atomic_t gSignal = 0;

// Windows runs a console's control handler on a thread of its own: it only
// sets the flag.  A closing console window ends the program once the
// handler returns, so that handler waits for the work to end instead (the
// program exits meanwhile; Windows allows about five seconds).
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: gSignal = SIGINT; return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        gSignal = SIGTERM;
        ::Sleep(4500);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void installSignalHandlers() { ::SetConsoleCtrlHandler(onConsoleEvent, TRUE); }

int stopSignal() { return gSignal; }

}  // namespace q7mctl
