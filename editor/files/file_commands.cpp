#include "files/file_commands.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/config_file.h"
#include "form/translate.h"
#include "platform/files.h"

namespace zelk {

std::string safeFileName(const std::string& name) {
    std::string out;
    for (char c : name) out += (c == '/' || c == '\\' || c == '\0' || c == ':') ? '_' : c;
    if (out == "." || out == "..") out = "_";
    return out;
}

std::string settingsFileText(const ProgramSettings& s) {
    // Built by appending: GCC 12 reports a false overlap for `" " + std::string` in optimised builds.
    std::string text;
    auto number = [&](int v) { text.append(" ").append(std::to_string(v)).append("\r\n"); };
    auto boolean = [&](bool v) { text.append(v ? "True" : "False").append("\r\n"); };
    number(s.ComPort);
    boolean(s.Auto);
    boolean(s.Confirm);
    boolean(s.Short);
    number(s.AutoRefreshEnabled);
    number(s.RefreshSeconds);
    return text;
}

void parseSettingsFile(const std::string& text, ProgramSettings& s) {
    std::istringstream in(text);
    std::string line;
    auto nextLine = [&](std::string& out) {
        if (!std::getline(in, line)) return false;
        const auto b = line.find_first_not_of(" \t\r");
        const auto e = line.find_last_not_of(" \t\r");
        out = b == std::string::npos ? std::string() : line.substr(b, e - b + 1);
        return true;
    };
    auto number = [](const std::string& t, int& out) {
        char* end = nullptr;
        const long v = std::strtol(t.c_str(), &end, 10);
        if (t.empty() || *end != '\0' || v < -32768 || v > 32767) return false;
        out = static_cast<int>(v);
        return true;
    };
    auto boolean = [](const std::string& t, bool& out) {
        if (t == "True" || t == "#TRUE#") return out = true, true;
        if (t == "False" || t == "#FALSE#") return out = false, true;
        return false;
    };
    std::string t;
    if (!nextLine(t) || !number(t, s.ComPort)) return;
    if (!nextLine(t) || !boolean(t, s.Auto)) return;
    if (!nextLine(t) || !boolean(t, s.Confirm)) return;
    if (!nextLine(t) || !boolean(t, s.Short)) return;
    if (!nextLine(t) || !number(t, s.AutoRefreshEnabled)) return;
    if (!nextLine(t)) return;
    number(t, s.RefreshSeconds);
}

std::string withConfigSuffix(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + ".zcf";
}

FileCommands::FileCommands(ModVals& vals, Document& doc, Parts parts, FileDialogService& files, MessageBoxService& msg,
                           const LinkApi& link, const Paths& paths, Controls c)
    : v_(vals), doc_(doc), p_(parts), files_(files), msg_(msg), link_(link), paths_(paths), c_(c) {
    auto& b = c_.bar;
    b.mnuNew.onClick = [this] { mnuNew_Click(); };
    b.mnuLoad.onClick = [this] { mnuLoad_Click(); };
    b.mnuSave.onClick = [this] { mnuSave_Click(); };
    b.mnuSaveAs.onClick = [this] { mnuSaveAs_Click(); };
}

void FileCommands::saveChangesQuestion(bool alwaysSave) {
    if (msg_.show(translate("FileCommands", "Do you want to save your changes?"), translate("FileCommands", "Save?"),
                  MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
        return;
    if (alwaysSave || !v_.ConfigFilePath.empty()) mnuSave_Click();
    else mnuSaveAs_Click();
}

void FileCommands::setFileCaption() { doc_.showName(v_.ConfigFilePath); }

void FileCommands::mnuNew_Click() {
    if (doc_.dirty()) saveChangesQuestion(false);
    p_.channels.ResetAll();
    p_.channels.LoadChannelData();
    doc_.showName(translate("Document", "Untitled"));
    for (auto& t : v_.TheaterInfo) t.clear();
    p_.theater.ApplyTheaterTabFields();
    v_.HasConfigFile = kFalse;
    doc_.markClean();
    c_.bar.mnuSave.setEnabled(false);
}

void FileCommands::mnuLoad_Click() {
    filter = translate("FileCommands", kOpenFilter.c_str());
    loadSucceeded_ = false;
    if (v_.HasConfigFile && doc_.dirty()) saveChangesQuestion(true);
    const std::string previousPath = v_.ConfigFilePath;
    if (!QuietFileMode) {
        auto chosen = files_.showOpen(filter, dialogFileName);
        if (!chosen || chosen->empty()) return;
        dialogFileName = *chosen;
        v_.ConfigFilePath = *chosen;
    }
    LoadingScope loading(v_);
    PollPause pause(p_.polling);

    const std::string& path = v_.ConfigFilePath;
    bool ok = true;
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".cfg") == 0) {
        SystemBlock s = v_.systemBlock;
        AudioBlock a = v_.audioBlock;
        ok = ReadOldConfigFile(path, s, a);
        if (ok) {
            v_.systemBlock = s;
            v_.audioBlock = a;
        }
    } else {
        ConfigData data = ConfigData::from(v_);
        const ReadResult r = ReadConfigFile(path, data);
        if (r == ReadResult::WrongHeader) {
            v_.ConfigFilePath = previousPath;
            return;
        }
        ok = r == ReadResult::Ok;
        if (ok) data.applyTo(v_);
    }
    if (!ok) {
        // Nothing of the file was taken; a later Save must not overwrite the
        // file that failed to open, so the previous path comes back.
        v_.ConfigFilePath = previousPath;
        msg_.show(translate("FileCommands", "Error open opening file! Incorrect format!"),
                  translate("FileCommands", "File Error"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }

    auto& d = p_.dispatch;
    d.RetryFunction(FN_SetVol);
    p_.live.ReflectVolumeLevel(true);
    d.RetryFunction(FN_SelectFormat);
    p_.live.ReflectModeStatus();
    d.RetryFunction(FN_SetMute);
    p_.live.ReflectMuteStatus();

    p_.channels.LoadChannelData();
    p_.upload.ApplyUnitSystemSettings();
    p_.upload.ApplyUnitAudioSettings();
    p_.theater.ApplyTheaterTabFields();

    c_.bar.mnuSave.setEnabled(true);
    if (!QuietFileMode) setFileCaption();
    doc_.markClean();
    v_.HasConfigFile = kTrue;
    loadSucceeded_ = true;
    if (!QuietFileMode && afterOpen) afterOpen();
}

void FileCommands::mnuSave_Click() {
    filter = translate("FileCommands", kSaveFilter.c_str());
    if (v_.ConfigFilePath.empty()) {
        mnuSaveAs_Click();
        return;
    }
    p_.channels.SaveChannelData(p_.channels.CurrentEQChannel);
    if (!writeOrSay(v_.ConfigFilePath)) {
        SaveAborted = true;
        return;
    }
    if (!QuietFileMode) setFileCaption();
    doc_.markClean();
}

void FileCommands::mnuSaveAs_Click() {
    filter = translate("FileCommands", kSaveFilter.c_str());
    p_.channels.SaveChannelData(p_.channels.CurrentEQChannel);
    const std::string untitled = safeFileName(translate("Document", "Untitled")) + ".zcf";
    if (dialogFileName == untitled || dialogFileName.empty()) {
        const std::string& name = v_.TheaterInfo[1];
        dialogFileName = name.empty() ? untitled : safeFileName(name) + ".zcf";
    }
    auto chosen = files_.showSave(filter, dialogFileName);
    if (!chosen || chosen->empty()) {
        SaveAborted = true;
        return;
    }
    const std::string path = withConfigSuffix(*chosen);
    dialogFileName = path;
    if (!writeOrSay(path)) {
        SaveAborted = true;
        return;
    }
    v_.ConfigFilePath = path;
    c_.bar.mnuSave.setEnabled(true);
    setFileCaption();
    doc_.markClean();
}

// A save that fails says so once, naming the file and the reason; the
// configuration stays marked unsaved and the file on disk is as it was.
bool FileCommands::writeOrSay(const std::string& path) {
    const std::string why = saveConfigFile(path, ConfigData::from(v_));
    if (why.empty()) return true;
    if (!QuietFileMode)
        msg_.show(fill(translate("FileCommands", "The configuration could not be saved to %1:\n%2\n\nThe file on "
                                                 "disk was not changed; the changes are still in the editor."),
                       {path, why}),
                  translate("FileCommands", "File Error"), MsgIcon::Exclamation, MsgButtons::OK);
    return false;
}

bool FileCommands::saveBeforeExit() {
    SaveAborted = false;
    if (!v_.ConfigFilePath.empty()) mnuSave_Click();
    else mnuSaveAs_Click();
    const bool ok = !SaveAborted;
    SaveAborted = false;
    return ok;
}

bool FileCommands::saveWorkingCopy(const std::string& path) {
    QuietFileMode = true;
    SaveAborted = false;
    v_.ConfigFilePath = path;
    mnuSave_Click();
    v_.ConfigFilePath.clear();
    QuietFileMode = false;
    const bool ok = !SaveAborted;
    SaveAborted = false;
    return ok;
}

bool FileCommands::loadWorkingCopy(const std::string& path) {
    v_.ConfigFilePath = path;
    QuietFileMode = true;
    mnuLoad_Click();
    QuietFileMode = false;
    return loadSucceeded_;
}

void FileCommands::InitialiseSettings() {
    v_.ComPort = 1;
    v_.BaudIndex = 0;
    ProgramSettings s = currentSettings();
    std::ifstream in(paths_.settingsFile(), std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        parseSettingsFile(text.str(), s);
    }
    v_.ComPort = static_cast<std::int16_t>(s.ComPort);
    p_.upload.setOptions(s.Auto, s.Confirm, s.Short);
    p_.polling.setAutoRefresh(s.AutoRefreshEnabled, s.RefreshSeconds);
    p_.portSpeed.showPortAndSpeed();

    // The library's settings file: created with its defaults only when it
    // does not exist yet, so a user's port table is never rewritten.
    const std::string ini = winDir(paths_) + "/ZelkSerial.ini";
    if (q7m::platform::pathKind(ini) == q7m::platform::PathKind::Missing && link_.DLLCreateIni)
        p_.dispatch.runDirect([fn = link_.DLLCreateIni] { fn(); });
}

ProgramSettings FileCommands::currentSettings() const {
    ProgramSettings s;
    s.ComPort = v_.ComPort;
    s.Auto = p_.upload.autoUpload();
    s.Confirm = p_.upload.confirm();
    s.Short = p_.upload.shortcuts();
    s.AutoRefreshEnabled = v_.AutoRefreshEnabled;
    s.RefreshSeconds = v_.RefreshSeconds;
    return s;
}

bool FileCommands::WriteSettings() {
    const ProgramSettings s = currentSettings();
    if (!q7m::platform::makeDirectories(paths_.dataDir)) return false;
    return writeFileAtomically(paths_.settingsFile(), settingsFileText(s));
}

}  // namespace zelk
