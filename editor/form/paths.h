// paths.h - where the editor finds and keeps its files.
#ifndef ZELK_FORM_PATHS_H
#define ZELK_FORM_PATHS_H

#include <string>

namespace zelk {

struct Paths {
    // Read-only things shipped with the program (the help text): the
    // program's folder, or the installed share folder.
    std::string programDir;
    // What the editor writes (settings.dat, temp.q7m): $ZELKVELQ_DATA_DIR,
    // else $XDG_DATA_HOME/zelkvelq, else ~/.local/share/zelkvelq.
    std::string dataDir;
    // The library's folder of ZelkSerial.ini (GetWinDir): $Q7M_CONFIG_DIR,
    // else $XDG_CONFIG_HOME/q7m, else ~/.config/q7m.
    std::string configDir;

    static Paths fromEnvironment(const std::string& programDir);
    std::string settingsFile() const { return dataDir + "/settings.dat"; }
    std::string workingFile() const { return dataDir + "/temp.q7m"; }
    // Unsaved changes kept when the editor was told to end (a signal);
    // the next start offers to open them.
    std::string recoveryFile() const { return dataDir + "/recovered.zcf"; }
    std::string helpFile() const;
};

// Creates a folder and its parents; true when it exists afterwards.
bool makeDirectories(const std::string& dir);

}  // namespace zelk

#endif
