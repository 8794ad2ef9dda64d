#include "file_commands.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "config_file.h"
#include "editor.h"

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

void FileCommands::wire() {
    auto& m = ed_.main;
    m.mnuNew.onClick = [this] { mnuNew_Click(); };
    m.mnuLoad.onClick = [this] { mnuLoad_Click(); };
    m.mnuSave.onClick = [this] { mnuSave_Click(); };
    m.mnuSaveAs.onClick = [this] { mnuSaveAs_Click(); };
}

void FileCommands::saveChangesQuestion(bool alwaysSave) {
    if (ed_.box("Do you want to save your changes?", "Save?", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
        return;
    if (alwaysSave || !ed_.vals.ConfigFilePath.empty()) mnuSave_Click();
    else mnuSaveAs_Click();
}

void FileCommands::setFileCaption() { ed_.main.form.setCaption(kAppTitle + "   <" + ed_.vals.ConfigFilePath + ">"); }

void FileCommands::mnuNew_Click() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    if (m.SettingsDirty) saveChangesQuestion(false);
    ed_.channels.ResetAll();
    ed_.channels.LoadChannelData();
    m.form.setCaption(kAppTitle + "   <Untitled>");
    for (auto& t : v.TheaterInfo) t.clear();
    ed_.theaterInfo.ApplyTheaterTabFields();
    v.HasConfigFile = kFalse;
    m.SettingsDirty = kFalse;
    m.mnuSave.setEnabled(false);
}

void FileCommands::mnuLoad_Click() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    filter = kOpenFilter;
    if (v.HasConfigFile && m.SettingsDirty) saveChangesQuestion(true);
    const std::string previousPath = v.ConfigFilePath;
    if (!m.QuietFileMode) {
        auto chosen = ed_.svc.files.showOpen(filter, dialogFileName);
        if (!chosen || chosen->empty()) return;
        dialogFileName = *chosen;
        v.ConfigFilePath = *chosen;
    }
    v.LoadingControls = kTrue;
    m.tmrPoll.setEnabled(false);

    const std::string& path = v.ConfigFilePath;
    bool ok = true;
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".cfg") == 0) {
        SystemBlock s = v.systemBlock;
        AudioBlock a = v.audioBlock;
        ok = ReadOldConfigFile(path, s, a);
        if (ok) {
            v.systemBlock = s;
            v.audioBlock = a;
        }
    } else {
        ConfigData data = ConfigData::from(v);
        const ReadResult r = ReadConfigFile(path, data);
        if (r == ReadResult::WrongHeader) {
            v.ConfigFilePath = previousPath;
            v.LoadingControls = kFalse;
            m.tmrPoll.setEnabled(true);
            return;
        }
        ok = r == ReadResult::Ok;
        if (ok) data.applyTo(v);
    }
    if (!ok) {
        // Nothing of the file was taken; a later Save must not overwrite the
        // file that failed to open, so the previous path comes back.
        v.ConfigFilePath = previousPath;
        m.tmrPoll.setEnabled(true);
        v.LoadingControls = kFalse;
        ed_.box("Error open opening file! Incorrect format!", "File Error", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }

    auto& d = ed_.dispatch;
    d.RetryFunction(FN_SetVol);
    ed_.polling.ReflectVolumeLevel(true);
    d.RetryFunction(FN_SelectFormat);
    ed_.polling.ReflectModeStatus();
    d.RetryFunction(FN_SetMute);
    ed_.polling.ReflectMuteStatus();

    ed_.channels.LoadChannelData();
    ed_.upload.ApplyUnitSystemSettings();
    ed_.upload.ApplyUnitAudioSettings();
    ed_.theaterInfo.ApplyTheaterTabFields();

    m.mnuSave.setEnabled(true);
    if (!m.QuietFileMode) setFileCaption();
    m.SettingsDirty = kFalse;
    v.HasConfigFile = kTrue;
    v.LoadingControls = kFalse;
    m.tmrPoll.setEnabled(true);
}

void FileCommands::mnuSave_Click() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    filter = kSaveFilter;
    if (v.ConfigFilePath.empty()) {
        mnuSaveAs_Click();
        return;
    }
    ed_.channels.SaveChannelData(m.CurrentEQChannel);
    if (!WriteConfigFile(v.ConfigFilePath, ConfigData::from(v))) {
        m.SaveAborted = kTrue;
        return;
    }
    if (!m.QuietFileMode) setFileCaption();
    m.SettingsDirty = kFalse;
}

void FileCommands::mnuSaveAs_Click() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    filter = kSaveFilter;
    ed_.channels.SaveChannelData(m.CurrentEQChannel);
    if (dialogFileName == "Untitled.zcf" || dialogFileName.empty()) {
        const std::string name = m.txtTheaterInfo[1].text();
        dialogFileName = name.empty() ? "Untitled.zcf" : safeFileName(name) + ".zcf";
    }
    auto chosen = ed_.svc.files.showSave(filter, dialogFileName);
    if (!chosen || chosen->empty()) {
        m.SaveAborted = kTrue;
        return;
    }
    dialogFileName = *chosen;
    if (!WriteConfigFile(*chosen, ConfigData::from(v))) {
        m.SaveAborted = kTrue;
        return;
    }
    v.ConfigFilePath = *chosen;
    m.mnuSave.setEnabled(true);
    setFileCaption();
    m.SettingsDirty = kFalse;
}

void FileCommands::InitialiseSettings() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    v.ComPort = 1;
    v.BaudIndex = 0;
    ProgramSettings s = currentSettings();
    std::ifstream in(ed_.paths.settingsFile(), std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        parseSettingsFile(text.str(), s);
    }
    v.ComPort = static_cast<std::int16_t>(s.ComPort);
    m.mnuAuto.setChecked(s.Auto);
    m.mnuConfirm.setChecked(s.Confirm);
    m.mnuShort.setChecked(s.Short);
    v.AutoRefreshEnabled = static_cast<std::int16_t>(s.AutoRefreshEnabled);
    v.RefreshSeconds = static_cast<std::int16_t>(s.RefreshSeconds);
    if (v.AutoRefreshEnabled == 1) m.mnuAutoRef.setChecked(true);
    ed_.portSpeed.showPortAndSpeed();
    ed_.upload.applyAutoUploadRule();

    // The library's settings file: created with its defaults only when it
    // does not exist yet, so a user's port table is never rewritten.
    const std::string ini = ed_.lifecycle.GetWinDir() + "/ZelkSerial.ini";
    struct stat st {};
    if (::stat(ini.c_str(), &st) != 0 && ed_.link.DLLCreateIni) ed_.link.DLLCreateIni();
}

ProgramSettings FileCommands::currentSettings() const {
    const auto& m = ed_.main;
    const auto& v = ed_.vals;
    ProgramSettings s;
    s.ComPort = v.ComPort;
    s.Auto = m.mnuAuto.checked();
    s.Confirm = m.mnuConfirm.checked();
    s.Short = m.mnuShort.checked();
    s.AutoRefreshEnabled = v.AutoRefreshEnabled;
    s.RefreshSeconds = v.RefreshSeconds;
    return s;
}

bool FileCommands::WriteSettings() {
    const ProgramSettings s = currentSettings();
    if (!makeDirectories(ed_.paths.dataDir)) return false;
    return writeFileAtomically(ed_.paths.settingsFile(), settingsFileText(s));
}

}  // namespace zelk
