// q7mctl_files.h - backing up a unit to a configuration file and restoring
// it, with the editor's own file code.  A file to restore is read and
// checked completely before anything is sent to the unit.
#ifndef Q7MCTL_FILES_H
#define Q7MCTL_FILES_H

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "files/config_file.h"
#include "model/sections.h"

#include "q7mctl_report.h"

namespace q7mctl {

// The largest file q7mctl reads: a configuration file is a few KB at most,
// even with long theater notes.
constexpr long kMaxConfigFileBytes = 64L * 1024;

// ASCII letters compared without regard to case ("sr-type", ".CFG").
bool sameIgnoringCase(const std::string& a, const std::string& b);

// A configuration file read and checked, ready to restore.
struct ConfigFile {
    std::string path;
    bool oldImage = false;                // a 352-byte ".cfg" image
    std::string text;                     // the ".zcf" text
    std::array<std::uint8_t, 352> image{};  // the ".cfg" bytes
};

// Reads `path` as a ".cfg" image (by its name) or a ".zcf" file and checks
// it completely: a regular file of a sane size, the right header, every
// value present and in range, nothing after the last value.  Returns "" or
// the reason it is refused, in words for the technician.
std::string loadConfigFile(const std::string& path, ConfigFile& out);

// Checks that a backup can be written to `path` (its folder exists, it is
// not a folder or a device).  Returns "" or the reason.
std::string checkBackupTarget(const std::string& path);

// The number of values a ".zcf" text holds and the line where value
// number `mark` (1-based) starts (0 when there are fewer values).
struct ValueCount {
    std::size_t values = 0;
    std::size_t lineOfMark = 0;
};
ValueCount countConfigValues(const std::string& text, std::size_t mark);

// Reads the unit's blocks and live values into `data`, the last upload's
// date in the theater information's last field.  0 or the exit status.
int readUnit(zelk::ConfigData& data, Reporter& report);

// Reads both blocks and the live values into a ".zcf" file.  The result
// names the file and the unit's last upload date.  `keepTheater`: when
// `path` already holds a configuration file, its theater information (the
// screen's name, serial, notes) stays in the new one.
int backup(const std::string& path, Reporter& report, bool keepTheater = false);

// What a restore takes from its file, why, and where the unit is.
struct RestoreRequest {
    std::optional<zelk::SectionSet> only;  // --only: these sections; none: the whole file
    std::string reason;                    // --reason, for the unit's history
    int port = 1;                          // for the history and a new link
    int speed = 0;                         // the rate index the link runs at
};

// Sends the settings of a checked file.  The unit's own blocks are read
// first, so that bytes a ".zcf" does not hold keep the unit's values; with
// `only`, only those sections come from the file, and a block in which
// nothing changes is not sent.  The system block goes first, then the audio
// block, stamped with the current date and time; the blocks are read back
// afterwards.  Once the system block is stored the audio block follows even
// when `stopRequested` says to stop, so an interruption never leaves the
// unit half-restored; when the unit fails the audio block, its previous
// system block is sent back (through a new link when the old one is gone),
// and only when that fails too does the message say the unit holds half of
// the file.  Every upload is recorded in the unit's history.
int restore(const ConfigFile& file, const RestoreRequest& request, Reporter& report,
            const std::function<bool()>& stopRequested);

}  // namespace q7mctl

#endif
