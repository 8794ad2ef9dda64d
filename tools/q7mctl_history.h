// q7mctl_history.h - the unit's history as q7mctl keeps it: a record for
// each restore and for each as-found backup, in the same files the editor
// writes, and the history printed (newest first, or as JSON).
#ifndef Q7MCTL_HISTORY_H
#define Q7MCTL_HISTORY_H

#include <string>

#include "files/history.h"

namespace q7mctl {

// A record for port `port` filled with what q7mctl knows of itself: now,
// the user, the program, the port and where it leads.
zelk::HistoryRecord newRecord(int port, const std::string& action);

// Port `port`'s history file.
std::string historyFile(int port);

// Appends `record` to its port's history; a failure is said on standard
// error and changes nothing else.
void keepRecord(int port, const zelk::HistoryRecord& record);

// Prints port `port`'s history, newest first (as a JSON array with
// `json`); damaged lines are named on standard error.  Returns the exit
// status.
int printHistory(int port, bool json);

}  // namespace q7mctl

#endif
