// file_commands.h - the File menu (New, Open, Save, Save As) and the
// editor's own settings file.
#ifndef ZELK_FILES_FILE_COMMANDS_H
#define ZELK_FILES_FILE_COMMANDS_H

#include <string>

namespace zelk {

class Editor;

inline const std::string kOpenFilter = "ZELK VELQ Config Files (*.zcf)|*.zcf|Old Config File format (*.cfg)|*.cfg";
inline const std::string kSaveFilter = "ZELK VELQ Config Files (*.zcf)|*.zcf";

// A theater name proposed as a file name: characters that would make it a
// path (or that file systems refuse) are replaced.
std::string safeFileName(const std::string& name);

// settings.dat: six lines, CR LF.
struct ProgramSettings {
    int ComPort = 1;
    bool Auto = false, Confirm = false, Short = false;
    int AutoRefreshEnabled = 0;
    int RefreshSeconds = 60;
};
std::string settingsFileText(const ProgramSettings& s);
// Reads what it can; values after a missing or damaged line keep `s`'s.
void parseSettingsFile(const std::string& text, ProgramSettings& s);

class FileCommands {
public:
    explicit FileCommands(Editor& ed) : ed_(ed) {}
    void wire();

    void mnuNew_Click();
    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void InitialiseSettings();
    bool WriteSettings();

    // The dialog's file name, kept from one command to the next.
    std::string dialogFileName;
    std::string filter;

private:
    ProgramSettings currentSettings() const;
    void saveChangesQuestion(bool alwaysSave);
    void setFileCaption();
    Editor& ed_;
};

}  // namespace zelk

#endif
