// config_file.h - configuration files: the ".zcf" text format (written and
// read) and the older binary ".cfg" image (read only).
#ifndef ZELK_FILES_CONFIG_FILE_H
#define ZELK_FILES_CONFIG_FILE_H

#include <array>
#include <string>

#include "model/record.h"

namespace zelk {

inline const std::string kConfigHeader = "ZELK CP Settings File: V1.0";

// Everything a configuration file holds, and the bytes around it: reading
// starts from the editor's current record so the bytes a file does not hold
// keep their values.
struct ConfigData {
    SystemBlock systemBlock;
    AudioBlock audioBlock;
    std::int16_t CurrentFormat = 0;
    std::int16_t CurrentVolume = 70;
    VbBool CurrentMute = kFalse;
    std::array<std::string, kTheaterLines> TheaterInfo;

    static ConfigData from(const ModVals& v);
    void applyTo(ModVals& v) const;
};

enum class ReadResult { Ok, WrongHeader, ReadError };

// Writes the 33 lines of a ".zcf" file.  The file is written beside the
// target and renamed into place, so a failed save leaves the old file
// intact.  A double quote inside a theater text (which the format cannot
// carry) is written as a single quote.  Returns false on any write fault.
bool WriteConfigFile(const std::string& path, const ConfigData& data);
// The same, saying why a save failed ("Permission denied", "No space left
// on device"...); empty when it succeeded.
std::string saveConfigFile(const std::string& path, const ConfigData& data);

// The text of a ".zcf" file for `data`.
std::string configFileText(const ConfigData& data);

// Reads a ".zcf" file into `data`.  `data` is changed only when the result
// is Ok: a file that fails part-way leaves it untouched.
ReadResult ReadConfigFile(const std::string& path, ConfigData& data);
ReadResult parseConfigText(const std::string& text, ConfigData& data);

// Reads an old ".cfg" image: 128 system block bytes, then 224 audio block
// bytes.  A file shorter than 352 bytes is refused and the blocks stay.
bool ReadOldConfigFile(const std::string& path, SystemBlock& system, AudioBlock& audio);

// Writes `text` to `path` through a temporary file and a rename.
bool writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace zelk

#endif
