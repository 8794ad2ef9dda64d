#include "q7mctl_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/config_file.h"
#include "platform/files.h"
#include "q7mctl_field.h"
#include "q7mslib.h"
#include "model/stamp.h"

namespace q7mctl {

namespace {

constexpr std::size_t kZcfValues = 155;

bool endsWithNoCase(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, tail) == 0;
}

zelk::LocalTime localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// What kind of thing a path names, for messages.
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Reads at most `limit` + 1 bytes of an open file.
bool readAll(int fd, std::string& out, long limit) {
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buf, static_cast<std::size_t>(n));
        if (static_cast<long>(out.size()) > limit) return true;
    }
}

}  // namespace

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
    // O_NONBLOCK: a pipe with no writer must not hold us; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return "no such file";
        if (errno == EACCES) return "no permission to read it";
        return std::string("cannot open it: ") + std::strerror(errno);
    }
    struct stat st {};
    std::string why;
    if (::fstat(fd, &st) != 0) {
        why = std::string("cannot read it: ") + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = std::string(kindOf(st.st_mode)) + ", not a configuration file";
    } else if (st.st_size > kMaxConfigFileBytes) {
        why = std::to_string(st.st_size) + " bytes, far more than a configuration file holds (at most " +
              std::to_string(kMaxConfigFileBytes / 1024) + " KB): not a configuration file";
    } else {
        std::string bytes;
        if (!readAll(fd, bytes, kMaxConfigFileBytes)) {
            why = std::string("cannot read it: ") + std::strerror(errno);
        } else if (static_cast<long>(bytes.size()) > kMaxConfigFileBytes) {
            why = "it grows while being read: not a configuration file";
        } else if (endsWithNoCase(path, ".cfg")) {
            out.oldImage = true;
            if (bytes.size() != out.image.size())
                why = std::to_string(bytes.size()) + " bytes, but an old configuration image (.cfg) holds exactly 352";
            else std::memcpy(out.image.data(), bytes.data(), out.image.size());
        } else {
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
    }
    ::close(fd);
    return why;
}

std::string checkBackupTarget(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return std::string("is ") + kindOf(st.st_mode) + ": give the name of a file to write";
    const std::string dir = q7m::platform::parentDirectory(path);
    if (::stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return "the folder " + dir + " does not exist";
    if (::access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) != 0)
        return "no permission to write in the folder " + (dir.empty() ? std::string(".") : dir);
    return {};
}

int backup(const std::string& path, Reporter& report) {
    zelk::ConfigData data;
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
