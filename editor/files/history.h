// history.h - each unit's history: one record for every upload it received
// from the editor or q7mctl (when, who, which program, which settings
// changed from what to what, how it ended and why it was made), and a mark
// for every as-found configuration kept.  One file per port and what the
// port leads to, in the data folder; one JSON object a line, only ever
// appended to, each record on the disk before the next step.  A damaged
// line (cut short by a crash, edited by hand) is skipped with a note: the
// rest of the history still reads.
#ifndef ZELK_FILES_HISTORY_H
#define ZELK_FILES_HISTORY_H

#include <string>
#include <vector>

#include "model/compare.h"
#include "form/services.h"

namespace zelk {

// How an upload ended.
inline constexpr const char* kResultVerified = "verified";          // read back equal to what was sent
inline constexpr const char* kResultNotVerified = "not verified";   // read back different, or not read back
inline constexpr const char* kResultRolledBack = "rolled back";     // the audio block failed; the previous system block went back
inline constexpr const char* kResultHalfDone = "half done";         // ...and that failed too
inline constexpr const char* kResultNotSent = "not sent";           // failed before the unit stored anything
inline constexpr const char* kResultNothingToSend = "nothing to send";
inline constexpr const char* kResultKept = "kept";                  // an as-found mark

// What a record is about.
inline constexpr const char* kActionAsFound = "as-found";

struct HistoryChange {
    std::string setting, before, after;  // in the editor's words and units
};

struct HistoryRecord {
    std::string time;     // local, "2026-12-08 14:30:12"
    std::string user;     // the operating system's user
    std::string program;  // "ZELKVELQ", "q7mctl"
    std::string port;     // "COM1"
    std::string target;   // what the port led to: "/dev/ttyUSB0", "socket://10.0.0.5:4001"
    std::string action;   // "upload", "automatic upload", "restore", "as-found"
    std::string source;   // the file restored or kept, or ""
    std::string sections; // "trims,eq:left" when only some were taken, else ""
    std::vector<HistoryChange> changes;
    std::string result;
    std::string reason;
};

// "2026-12-08 14:30:12".
std::string historyTime(const LocalTime& t);

// The history folder in the data folder, and the file of a port and what
// it leads to ("COM1 _dev_ttyUSB0.jsonl", every part made safe for a file
// name).
std::string historyDirectory(const std::string& dataDir);
std::string historyPath(const std::string& dataDir, int port, const std::string& target);
// A text as the file's name carries it ("socket_10.0.0.5_4001").
std::string historyNamePart(const std::string& text);

// The largest history read whole (some thousands of uploads); a larger
// file is not read.
inline constexpr long long kMaxHistoryBytes = 64LL * 1024 * 1024;

// One record as one line of JSON (no line end), and back.  False when the
// line is not a whole record.
std::string historyLine(const HistoryRecord& r);
bool parseHistoryLine(const std::string& line, HistoryRecord& out);

// Appends a record (the folder made when missing).  "" or why not.
std::string appendHistory(const std::string& path, const HistoryRecord& r);

struct HistoryRead {
    std::vector<HistoryRecord> records;  // oldest first, as written
    std::vector<std::string> notes;      // one per line skipped, or why the file could not be read
};
// A missing file is an empty history.
HistoryRead readHistory(const std::string& path);

// The differences of a comparison of (before, after) as changes.
std::vector<HistoryChange> historyChanges(const std::vector<FieldDifference>& diffs);

// The uploads after the last as-found mark (all of them when there is none).
std::vector<HistoryRecord> changesSinceAsFound(const std::vector<HistoryRecord>& oldestFirst);

// For people: one block per record, newest first ("2026-12-08 14:30:12
// q7mctl tech COM1: restore a.zcf (trims): verified", the reason, then one
// line per change).
std::string historyText(const std::vector<HistoryRecord>& oldestFirst);
// For programs: a JSON array of the records, newest first.
std::string historyJson(const std::vector<HistoryRecord>& oldestFirst);
// "Left Channel trim 0.5 dB -> -1.0 dB, Surround Delay 20 mS -> 50 mS and 3 more".
std::string changesSummary(const std::vector<HistoryChange>& changes, std::size_t named = 3);

}  // namespace zelk

#endif
