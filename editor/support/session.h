// session.h - the editor's record of its own sessions, for the support
// desk.  While a session runs, a marker in the data folder says so: a
// session that crashed, was killed or lost its power leaves it behind, and
// the next start notices.  Every session keeps its line trace (the last
// kTraceLines lines, in two rotated files) also when Q7M_TRACE is not set,
// and a fatal signal leaves a short crash note beside it.  The record of
// the session before stays until the next start.
//
//   <data folder>/session/current/   marker, trace.log, trace.log.1, crash.txt
//   <data folder>/session/previous/  the same, of the session before
#ifndef ZELK_SUPPORT_SESSION_H
#define ZELK_SUPPORT_SESSION_H

#include <atomic>
#include <memory>
#include <string>

namespace zelk {

inline constexpr int kTraceLines = 5000;

enum class Which { Current, Previous };

// The record's files.
std::string sessionFolder(const std::string& dataDir, Which which);
std::string sessionMarkerPath(const std::string& dataDir, Which which);
std::string sessionTracePath(const std::string& dataDir, Which which);  // the newer half; ".1" the older
std::string crashNotePath(const std::string& dataDir, Which which);

// A session's line trace: its last kTraceLines lines ("" when it kept none).
std::string sessionTrace(const std::string& dataDir, Which which);
// Its crash note, "" when it wrote none.
std::string crashNote(const std::string& dataDir, Which which);

// The last `lines` lines of `text`.
std::string lastLines(const std::string& text, int lines);

struct PreviousSession {
    bool endedUncleanly = false;
    std::string started;    // "2026-12-08 14:30:12", from its marker
    std::string version;    // the program's version it ran
    std::string crashNote;  // what its crash note says, when it wrote one
};

// The marker's text and what a marker says.
std::string markerText(bool running, const std::string& started, const std::string& version, long pid);
PreviousSession readMarker(const std::string& text);

class Session {
public:
    Session();
    ~Session();  // the session ended cleanly: the marker says so
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts this session's record in `dataDir` (`version`: the program's),
    // before the link library is loaded: the library's line trace then goes
    // through the session (to the user's own Q7M_TRACE file as well, when
    // one is set), and a fatal signal writes the crash note.  False, and
    // nothing recorded, when another session of the editor holds the
    // record or the folder cannot be written.
    bool begin(const std::string& dataDir, const std::string& version);
    bool recording() const { return recording_; }
    // What the start found of the session before.
    const PreviousSession& previous() const { return previous_; }
    // Ends the session cleanly (also done by the destructor).
    void end();

    // Lines the trace keeps (tests make it smaller).
    void setTraceLines(int lines) { traceLines_ = lines; }

private:
    struct Platform;  // the lock, the trace's pipe and its reader
    std::unique_ptr<Platform> os_;
    std::string dataDir_, version_, started_;
    PreviousSession previous_;
    bool recording_ = false;
    std::atomic<int> traceLines_{kTraceLines};
};

// The machine, for the support bundle: the operating system and its
// version, the host's name, and the file a loaded function comes from.
std::string operatingSystem();
std::string hostName();
std::string fileOfFunction(const void* function);

}  // namespace zelk

#endif
