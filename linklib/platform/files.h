// files.h - the few file-system services every part of the project needs,
// written once: where settings and data live, making folders, and a save
// that never leaves a half-written file behind.
#ifndef Q7M_PLATFORM_FILES_H
#define Q7M_PLATFORM_FILES_H

#include <string>
#include <string_view>

namespace q7m::platform {

// The folder of the library's settings (ZelkSerial.ini): $Q7M_CONFIG_DIR
// when set, otherwise $XDG_CONFIG_HOME/q7m, otherwise ~/.config/q7m.
std::string configDirectory();

// A program's per-user data folder: $<overrideVar> when set, otherwise
// $XDG_DATA_HOME/<app>, otherwise ~/.local/share/<app>.
std::string dataDirectory(const char* overrideVar, const std::string& app);

// Creates a folder and its parents.  True when the folder exists afterwards.
bool makeDirectories(const std::string& dir);

// The folder part of a path ("" for a bare file name).
std::string parentDirectory(const std::string& path);

struct SaveResult {
    bool ok = false;
    std::string error;  // why it failed, in words ("Permission denied", ...)
    explicit operator bool() const { return ok; }
};

// Replaces the file at `path` with `content`, or leaves it exactly as it
// was.  The bytes go to a new temporary file created exclusively beside the
// target (never through a link planted there), are flushed to the disk, and
// the temporary file is renamed over the target; the folder is then flushed
// too, so a crash or a full disk at any moment leaves either the old file or
// the whole new one.
SaveResult writeFileAtomically(const std::string& path, std::string_view content);

}  // namespace q7m::platform

#endif
