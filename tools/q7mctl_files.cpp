#include "q7mctl_files.h"

#include <cstdio>
#include <ctime>

#include "files/config_file.h"
#include "q7mslib.h"
#include "model/stamp.h"

namespace q7mctl {

namespace {
bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

zelk::LocalTime localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}
}  // namespace

int backup(const std::string& path, Report report) {
    zelk::ConfigData data;
    std::int16_t vol = 70, fmt = 0;
    std::uint8_t mute = 0;
    if (unsigned e = GetSystem(data.systemBlock.data())) return report("reading the system block", e);
    if (unsigned e = GetAudio(data.audioBlock.data())) return report("reading the audio block", e);
    if (unsigned e = GetVol(&vol)) return report("reading the fader", e);
    if (unsigned e = GetMute(&mute)) return report("reading mute", e);
    if (unsigned e = GetFormat(&fmt)) return report("reading the format", e);
    data.CurrentVolume = vol;
    data.CurrentFormat = fmt;
    data.CurrentMute = zelk::vb(mute != 0);
    data.TheaterInfo[9] = zelk::stampText(zelk::UnpackUploadStamp(data.audioBlock));
    if (!zelk::WriteConfigFile(path, data)) {
        std::fprintf(stderr, "q7mctl: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("Saved the unit's configuration to %s\n", path.c_str());
    return 0;
}

int restore(const std::string& path, Report report) {
    // Start from the unit's own blocks, so bytes a file does not hold keep
    // the unit's values.
    zelk::ConfigData data;
    if (unsigned e = GetSystem(data.systemBlock.data())) return report("reading the system block", e);
    if (unsigned e = GetAudio(data.audioBlock.data())) return report("reading the audio block", e);
    if (endsWith(path, ".cfg")) {
        if (!zelk::ReadOldConfigFile(path, data.systemBlock, data.audioBlock)) {
            std::fprintf(stderr, "q7mctl: %s is not a 352-byte configuration image\n", path.c_str());
            return 1;
        }
    } else {
        const auto r = zelk::ReadConfigFile(path, data);
        if (r != zelk::ReadResult::Ok) {
            std::fprintf(stderr, "q7mctl: %s: %s\n", path.c_str(),
                         r == zelk::ReadResult::WrongHeader ? "not a configuration file"
                                                            : "Error open opening file! Incorrect format!");
            return 1;
        }
    }
    zelk::StampDate d;
    zelk::StampTime t;
    zelk::stampParts(localNow(), d, t);
    zelk::PackUploadStamp(data.audioBlock, d, t);
    if (unsigned e = SetSystem(data.systemBlock.data())) return report("sending the system block", e);
    if (unsigned e = SetAudio(data.audioBlock.data())) return report("sending the audio block", e);
    std::printf("Uploaded %s to the unit\n", path.c_str());
    return 0;
}

}  // namespace q7mctl
