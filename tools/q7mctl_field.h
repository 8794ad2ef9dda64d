// q7mctl_field.h - the service visit from the command line, with the
// editor's own comparison, archive and report code: diff, verify, a backup
// into the as-found archive, the read-back after restore, and the service
// report as a PDF.
#ifndef Q7MCTL_FIELD_H
#define Q7MCTL_FIELD_H

#include <optional>
#include <string>

#include "files/config_file.h"
#include "model/compare.h"
#include "model/sections.h"
#include "q7mctl_files.h"
#include "q7mctl_report.h"

namespace q7mctl {

// Exit status of diff and verify when the two sides differ.
constexpr int kDifferent = 3;

// "unit", or a configuration file checked as restore checks it.  Returns ""
// or why it is refused.
struct DiffSide {
    bool unit = false;
    ConfigFile file;
    std::string title;  // "Unit" or the file's name
};
std::string loadDiffSide(const std::string& arg, DiffSide& side);

// A checked file's settings over `base` (the bytes a ".zcf" does not hold
// keep base's values).  False when it could not be read again.
bool applyFile(const ConfigFile& file, zelk::ConfigData& base);

// Prints the settings that differ between the two sides (the unit read
// fresh when a side is the unit), only those of the sections `only` when
// given.  0 when none differ, kDifferent when some do, 1 when the unit
// could not be read.
int diff(const DiffSide& left, const DiffSide& right, const std::optional<zelk::SectionSet>& only, Reporter& report);

// Reads the unit's blocks (`which`) and compares them with `sent`; prints
// the result.  0 when they match, `mismatchStatus` otherwise, 1 when the
// unit could not be read.
int verifyUnit(const zelk::ConfigData& sent, zelk::Blocks which, const std::string& what, int mismatchStatus,
               Reporter& report);

// Whether the unit holds the settings of a checked file (nothing is sent),
// only those of the sections `only` when given: 0 when it does, kDifferent
// when not, 1 when the unit could not be read.
int verifyFile(const ConfigFile& file, const std::optional<zelk::SectionSet>& only, Reporter& report);

// Reads the unit into a new file of the as-found archive (never
// overwriting; the file records the port), marks it in port `port`'s
// history, and says what the archive's cap removed.
int backupToArchive(int port, Reporter& report);

// Reads the unit and writes the service report to `path` (a PDF), with
// the changes port `port`'s history holds since the as-found.
int report(const std::string& path, int port, Reporter& report);
// Whether this q7mctl was built with the PDF writer.
bool canWriteReports();

}  // namespace q7mctl

#endif
