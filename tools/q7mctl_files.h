// q7mctl_files.h - backing up a unit to a configuration file and restoring
// it, with the editor's own file code.
#ifndef Q7MCTL_FILES_H
#define Q7MCTL_FILES_H

#include <string>

namespace q7mctl {

using Report = int (*)(const char* what, unsigned word);

// Reads both blocks and the live values into a ".zcf" file.
int backup(const std::string& path, Report report);
// Sends the blocks of a ".zcf" or ".cfg" file: system block, then audio
// block, stamped with the current date and time.
int restore(const std::string& path, Report report);

}  // namespace q7mctl

#endif
