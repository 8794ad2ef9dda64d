#include "q7mctl_files.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include "files/as_found.h"
#include "files/config_file.h"
#include "platform/files.h"
#include "platform/system.h"
#include "q7mctl_field.h"
#include "q7mctl_history.h"
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

int readUnit(zelk::ConfigData& data, Reporter& report) {
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
    return 0;
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
    if (int status = readUnit(data, report)) return status;
    const auto saved = q7m::platform::writeFileAtomically(path, zelk::configFileText(data));
    if (!saved) return report.fail("cannot write " + path + ": " + saved.error);
    report.done("Saved the unit's configuration to " + path + " (last upload " + data.TheaterInfo[9] + ")");
    return 0;
}

namespace {

// After a hang-up the port may come back (a USB adapter re-plugged, a
// server restarted): while it cannot be opened, the link is tried again
// for this long at most.  A port that opens to a unit that does not answer
// is tried twice.
constexpr auto kRelinkTime = std::chrono::seconds(6);
constexpr auto kRelinkPause = std::chrono::milliseconds(250);

// Opens the link again at the rate it ran at.  True when the unit answers.
bool relink(int port, int speed) {
    DLLShutdown();
    const auto deadline = std::chrono::steady_clock::now() + kRelinkTime;
    for (int silent = 0; silent < 2;) {
        if (speed != 0) SetDLLBaud(speed);  // not connected: only the port's own rate moves
        const unsigned e = InitDLL(port);
        if (e == 0) return true;
        if (!(e & LINK_ERR_PORT)) ++silent;
        else if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kRelinkPause);
    }
    return false;
}

bool sameSettings(const zelk::ConfigData& a, const zelk::ConfigData& b) {
    return zelk::compareConfigurations(a.systemBlock, a.audioBlock, b.systemBlock, b.audioBlock).empty();
}

// The audio block failed after the system block was stored: the unit's
// previous system block goes back (through a new link when the old one is
// gone), and so does its previous audio block when the unit did store the
// new one after all (its confirmation lost).  True when the unit then
// reads back with its previous settings.
bool rollBack(const zelk::ConfigData& previous, int port, int speed) {
    zelk::ConfigData sent = previous;
    if (SetSystem(sent.systemBlock.data()) != 0) {
        if (!relink(port, speed) || SetSystem(sent.systemBlock.data()) != 0) return false;
    }
    zelk::ConfigData now;
    if (GetSystem(now.systemBlock.data()) != 0 || GetAudio(now.audioBlock.data()) != 0) return false;
    if (!zelk::compareConfigurations(now.systemBlock, now.audioBlock, previous.systemBlock, previous.audioBlock,
                                     zelk::Blocks::Audio)
             .empty()) {
        if (SetAudio(sent.audioBlock.data()) != 0 || GetAudio(now.audioBlock.data()) != 0) return false;
    }
    return sameSettings(now, previous);
}

}  // namespace

int restore(const ConfigFile& file, const RestoreRequest& request, Reporter& report,
            const std::function<bool()>& stopRequested) {
    // Start from the unit's own blocks, so bytes a file does not hold keep
    // the unit's values.
    zelk::ConfigData previous;
    if (unsigned e = GetSystem(previous.systemBlock.data())) return report.link("reading the system block", e);
    if (unsigned e = GetAudio(previous.audioBlock.data())) return report.link("reading the audio block", e);
    zelk::ConfigData fromFile = previous;
    if (!applyFile(file, fromFile)) return report.fail(file.path + " could not be read a second time; nothing was sent");
    zelk::ConfigData data = fromFile;
    bool sendSystem = true, sendAudio = true;
    std::string what = file.path;
    if (request.only) {
        data = previous;
        zelk::takeSections(data.systemBlock, data.audioBlock, fromFile.systemBlock, fromFile.audioBlock, *request.only);
        sendSystem = !zelk::compareConfigurations(previous.systemBlock, previous.audioBlock, data.systemBlock,
                                                  data.audioBlock, zelk::Blocks::System)
                          .empty();
        sendAudio = !zelk::compareConfigurations(previous.systemBlock, previous.audioBlock, data.systemBlock,
                                                 data.audioBlock, zelk::Blocks::Audio)
                         .empty();
        what = "the " + zelk::sectionsText(*request.only) + " of " + file.path;
        if (!sendSystem && !sendAudio) {
            report.done("Nothing to send: the unit already holds " + what);
            return 0;
        }
    }
    if (stopRequested()) return report.fail("stopped before the upload; the unit's settings are unchanged");

    zelk::HistoryRecord record = newRecord(request.port, "restore");
    record.source = file.path;
    record.sections = request.only ? zelk::sectionsText(*request.only) : "";
    record.reason = request.reason;
    record.changes = zelk::historyChanges(zelk::compareConfigurations(previous.systemBlock, previous.audioBlock,
                                                                      data.systemBlock, data.audioBlock));
    auto finish = [&](const char* result, int status) {
        record.result = result;
        keepRecord(request.port, record);
        return status;
    };

    zelk::StampDate d;
    zelk::StampTime t;
    zelk::stampParts(localNow(), d, t);
    if (sendAudio) zelk::PackUploadStamp(data.audioBlock, d, t);
    if (sendSystem) {
        if (unsigned e = SetSystem(data.systemBlock.data())) {
            report.link("sending the system block", e);
            return finish(zelk::kResultNotSent,
                          report.fail(std::string("the unit did not confirm the system block") +
                                      (sendAudio ? " and the audio block was not sent" : "") +
                                      ": it holds its previous settings (or the new system block, if only its "
                                      "confirmation was lost)"));
        }
    }
    if (sendAudio) {
        if (unsigned e = SetAudio(data.audioBlock.data())) {
            report.link("sending the audio block", e);
            if (!sendSystem)
                return finish(zelk::kResultNotSent,
                              report.fail("the unit did not confirm the audio block: it holds its previous settings "
                                          "(or the new audio block, if only its confirmation was lost)"));
            if (rollBack(previous, request.port, request.speed))
                return finish(zelk::kResultRolledBack,
                              report.fail("the unit did not store the audio block of " + file.path +
                                          ", so its previous system block was sent back: rolled back: the unit holds "
                                          "its previous settings. Restore again once the unit answers."));
            return finish(zelk::kResultHalfDone,
                          report.fail("the restore is HALF DONE: the unit stored the system block of " + file.path +
                                      " but not its audio block; it now holds the new system settings with its "
                                      "previous audio settings (equalisers, trims, OBE). Restore again once the unit "
                                      "answers."));
        }
    }
    std::string sent = "Uploaded " + what + " to the unit";
    if (request.only && !(sendSystem && sendAudio))
        sent += sendSystem ? " (the system block; the audio block was unchanged and not sent)"
                           : " (the audio block; the system block was unchanged and not sent)";
    report.done(sent);
    // Read back: the unit must hold what it was sent (the stamp aside), and
    // its other settings as they were.
    const int status = verifyUnit(data, zelk::Blocks::Both, what, 1, report);
    return finish(status == 0 ? zelk::kResultVerified : zelk::kResultNotVerified, status);
}

}  // namespace q7mctl
