#include "q7mctl_files.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/as_found.h"
#include "files/config_file.h"
#include "platform/files.h"
#include "platform/system.h"
#include "q7mctl_field.h"
#include "q7mslib.h"
#include "model/stamp.h"

namespace q7mctl {

namespace {

constexpr std::size_t kZcfValues = 155;

using q7m::platform::PathKind;

bool endsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && sameIgnoringCase(s.substr(s.size() - tail.size()), tail);
}

zelk::LocalTime localNow() {
    const std::tm tm = q7m::platform::localCalendar(std::time(nullptr));
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// What kind of thing a path names, for messages.
const char* kindOf(PathKind kind) {
    switch (kind) {
    case PathKind::Folder: return "a folder";
    case PathKind::Device: return "a device";
    case PathKind::Pipe: return "a pipe";
    case PathKind::Socket: return "a socket";
    default: return "not a regular file";
    }
}

}  // namespace

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

ValueCount countConfigValues(const std::string& t, std::size_t mark) {
    // The values as the reader takes them: a comma or a line end outside
    // double quotes ends a value; blanks and line breaks before one are
    // skipped.
    ValueCount c;
    std::size_t i = 0, line = 1;
    auto skipBlank = [&]() {
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) {
            if (t[i] == '\n') ++line;
            ++i;
        }
    };
    for (;;) {
        skipBlank();
        if (i >= t.size()) return c;
        ++c.values;
        if (c.values == mark) c.lineOfMark = line;
        if (t[i] == '"') {
            const auto close = t.find('"', i + 1);
            if (close == std::string::npos) return c;
            for (std::size_t k = i; k < close; ++k) line += t[k] == '\n';
            i = close + 1;
        }
        while (i < t.size() && t[i] != ',' && t[i] != '\r' && t[i] != '\n') ++i;
        if (i < t.size() && t[i] == ',') ++i;
    }
}

std::string loadConfigFile(const std::string& path, ConfigFile& out) {
    out = ConfigFile{};
    out.path = path;
    using Status = q7m::platform::SmallFile::Status;
    q7m::platform::SmallFile file = q7m::platform::readSmallFile(path, kMaxConfigFileBytes);
    std::string why;
    switch (file.status) {
    case Status::NotFound: return "no such file";
    case Status::NoPermission: return "no permission to read it";
    case Status::Error: return "cannot read it: " + file.error;
    case Status::NotAFile: return std::string(kindOf(file.kind)) + ", not a configuration file";
    case Status::TooLarge:
        return std::to_string(file.size) + " bytes, far more than a configuration file holds (at most " +
               std::to_string(kMaxConfigFileBytes / 1024) + " KB): not a configuration file";
    case Status::Grew: return "it grows while being read: not a configuration file";
    case Status::Ok: break;
    }
    std::string& bytes = file.bytes;
    if (endsWithNoCase(path, ".cfg")) {
        out.oldImage = true;
        if (bytes.size() != out.image.size())
            why = std::to_string(bytes.size()) + " bytes, but an old configuration image (.cfg) holds exactly 352";
        else std::memcpy(out.image.data(), bytes.data(), out.image.size());
    } else {
        // An as-found file's record of its port is not configuration.
        bytes = zelk::withoutSource(bytes);
        zelk::ConfigData probe;
        switch (zelk::parseConfigText(bytes, probe)) {
        case zelk::ReadResult::WrongHeader:
            why = "not a configuration file (it does not start with \"" + zelk::kConfigHeader + "\")";
            break;
        case zelk::ReadResult::ReadError:
            why = "a damaged configuration file: a value is missing, is not a number or is out of range";
            break;
        case zelk::ReadResult::Ok: {
            const auto count = countConfigValues(bytes, kZcfValues + 1);
            if (count.values > kZcfValues)
                why = "unexpected content after the configuration's last value, from line " +
                      std::to_string(count.lineOfMark) + " on: refused";
            break;
        }
        }
        out.text = std::move(bytes);
    }
    return why;
}

std::string checkBackupTarget(const std::string& path) {
    if (const PathKind kind = q7m::platform::pathKind(path); kind != PathKind::Missing && kind != PathKind::File)
        return std::string("is ") + kindOf(kind) + ": give the name of a file to write";
    const std::string dir = q7m::platform::parentDirectory(path);
    if (q7m::platform::pathKind(dir.empty() ? "." : dir) != PathKind::Folder)
        return "the folder " + dir + " does not exist";
    if (!q7m::platform::folderWritable(dir))
        return "no permission to write in the folder " + (dir.empty() ? std::string(".") : dir);
    return {};
}

int backup(const std::string& path, Reporter& report, bool keepTheater) {
    zelk::ConfigData data;
    if (keepTheater) {
        // Read as any file to restore is (never a device or a pipe).
        ConfigFile file;
        zelk::ConfigData old;
        if (loadConfigFile(path, file).empty() && !file.oldImage &&
            zelk::parseConfigText(file.text, old) == zelk::ReadResult::Ok)
            data.TheaterInfo = old.TheaterInfo;
    }
    std::int16_t vol = 70, fmt = 0;
    std::uint8_t mute = 0;
    if (unsigned e = GetSystem(data.systemBlock.data())) return report.link("reading the system block", e);
    if (unsigned e = GetAudio(data.audioBlock.data())) return report.link("reading the audio block", e);
    if (unsigned e = GetVol(&vol)) return report.link("reading the fader", e);
    if (unsigned e = GetMute(&mute)) return report.link("reading mute", e);
    if (unsigned e = GetFormat(&fmt)) return report.link("reading the format", e);
    data.CurrentVolume = vol;
    data.CurrentFormat = fmt;
    data.CurrentMute = zelk::vb(mute != 0);
    data.TheaterInfo[9] = zelk::stampText(zelk::UnpackUploadStamp(data.audioBlock));
    const auto saved = q7m::platform::writeFileAtomically(path, zelk::configFileText(data));
    if (!saved) return report.fail("cannot write " + path + ": " + saved.error);
    report.done("Saved the unit's configuration to " + path + " (last upload " + data.TheaterInfo[9] + ")");
    return 0;
}

int restore(const ConfigFile& file, Reporter& report, const std::function<bool()>& stopRequested) {
    // Start from the unit's own blocks, so bytes a file does not hold keep
    // the unit's values.
    zelk::ConfigData data;
    if (unsigned e = GetSystem(data.systemBlock.data())) return report.link("reading the system block", e);
    if (unsigned e = GetAudio(data.audioBlock.data())) return report.link("reading the audio block", e);
    if (file.oldImage) {
        std::memcpy(data.systemBlock.data(), file.image.data(), 128);
        std::memcpy(data.audioBlock.data(), file.image.data() + 128, 224);
    } else if (zelk::parseConfigText(file.text, data) != zelk::ReadResult::Ok) {
        return report.fail(file.path + " could not be read a second time; nothing was sent");
    }
    if (stopRequested()) return report.fail("stopped before the upload; the unit's settings are unchanged");
    zelk::StampDate d;
    zelk::StampTime t;
    zelk::stampParts(localNow(), d, t);
    zelk::PackUploadStamp(data.audioBlock, d, t);
    if (unsigned e = SetSystem(data.systemBlock.data())) {
        report.link("sending the system block", e);
        return report.fail(
            "the unit did not confirm the system block and the audio block was not sent: it holds its previous "
            "settings (or the new system block, if only its confirmation was lost)");
    }
    if (unsigned e = SetAudio(data.audioBlock.data())) {
        report.link("sending the audio block", e);
        return report.fail("the restore is HALF DONE: the unit stored the system block of " + file.path +
                           " but not its audio block; it now holds the new system settings with its previous audio "
                           "settings (equalisers, trims, OBE). Restore again once the unit answers.");
    }
    report.done("Uploaded " + file.path + " to the unit");
    // Read back: the unit must hold what it was sent (the stamp aside).
    return verifyUnit(data, zelk::Blocks::Both, file.path, 1, report);
}

}  // namespace q7mctl
