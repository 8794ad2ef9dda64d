// files.h - the few file-system services every part of the project needs,
// written once: where settings and data live, making folders, and a save
// that never leaves a half-written file behind.
#ifndef Q7M_PLATFORM_FILES_H
#define Q7M_PLATFORM_FILES_H

#include <string>
#include <string_view>

namespace q7m::platform {

// Paths are narrow strings in the C runtime's own encoding (UTF-8 on
// Linux; the ANSI code page on Windows, which is UTF-8 for a program whose
// manifest asks for it), so std::fstream and these services agree on them.

// The folder of the library's settings (ZelkSerial.ini): $Q7M_CONFIG_DIR
// when set, otherwise $XDG_CONFIG_HOME/q7m, otherwise ~/.config/q7m; on
// Windows %APPDATA%\q7m.
std::string configDirectory();

// A program's per-user data folder: $<overrideVar> when set, otherwise
// $XDG_DATA_HOME/<app>, otherwise ~/.local/share/<app>; on Windows
// %LOCALAPPDATA%\<app>.
std::string dataDirectory(const char* overrideVar, const std::string& app);

// Creates a folder and its parents.  True when the folder exists afterwards.
bool makeDirectories(const std::string& dir);

// The folder part of a path ("" for a bare file name).  On Windows both
// separators count, and a drive's root keeps its separator ("C:\").
std::string parentDirectory(const std::string& path);

// `dir` and `name` joined with the platform's separator.
std::string joinPath(const std::string& dir, const std::string& name);

// What a path names.
enum class PathKind { Missing, File, Folder, Device, Pipe, Socket, Other };
PathKind pathKind(const std::string& path);

// Whether this user may create files in the folder `dir` ("" is the
// current folder).
bool folderWritable(const std::string& dir);

// Deletes a file; true when it is gone afterwards.
bool removeFile(const std::string& path);

// Reads a small regular file whole, without ever waiting on a device or a
// pipe (those are refused by kind, unread).
struct SmallFile {
    enum class Status { Ok, NotFound, NoPermission, NotAFile, TooLarge, Grew, Error };
    Status status = Status::Error;
    PathKind kind = PathKind::Missing;  // NotAFile: what it is instead
    long long size = 0;                 // TooLarge: the size found; Grew: the file grew past `limit` while read
    std::string bytes;                  // Ok: the content
    std::string error;                  // Error: the system's words
};
SmallFile readSmallFile(const std::string& path, long long limit);

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

// Appends `line` and a line end to the regular file at `path` (created when
// missing) in one write, and flushes it to the disk before returning.  When
// the file's last line was left unfinished (a crash while it was written),
// a line end goes first, so that line alone stays damaged.  Nothing that is
// in the file already is ever changed.
SaveResult appendLineDurably(const std::string& path, std::string_view line);

}  // namespace q7m::platform

#endif
