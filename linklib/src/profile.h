// profile.h - the small section/key/value settings file (ZelkSerial.ini)
// and where it lives.
#ifndef Q7M_PROFILE_H
#define Q7M_PROFILE_H

#include <optional>
#include <string>
#include <vector>

namespace q7m {

// Full path of ZelkSerial.ini in the configuration folder
// (platform::configDirectory(): $Q7M_CONFIG_DIR when set, otherwise
// $XDG_CONFIG_HOME/q7m, otherwise ~/.config/q7m).
std::string iniPath();

// An INI-style text file kept as lines, so that unknown sections, keys and
// comments survive a rewrite untouched.
class Profile {
public:
    explicit Profile(std::string path) : path_(std::move(path)) {}

    // Loads the file; a missing file is an empty profile.  Returns false only
    // when the file exists and cannot be read.
    bool load();

    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    std::optional<long> getInt(const std::string& section, const std::string& key) const;

    // Sets or adds a key; the section is appended when missing.
    void set(const std::string& section, const std::string& key, const std::string& value);

    // Writes the file through a temporary file and a rename, creating the
    // folder when needed.  The old file stays intact on failure.
    bool save() const;

    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::string path_;
    std::vector<std::string> lines_;
};

}  // namespace q7m

#endif
