// quiet_services.h - message boxes and file dialogs for the windowed
// editor in tests and benchmarks: boxes are recorded and answered at once
// (OK, or No to a question), file dialogs are cancelled.
#ifndef Q7M_TEST_QUIET_SERVICES_H
#define Q7M_TEST_QUIET_SERVICES_H

#include <optional>
#include <string>
#include <vector>

#include "form/paths.h"
#include "form/services.h"

namespace q7mtest {

class QuietBoxes : public zelk::MessageBoxService {
public:
    zelk::MsgResult show(const std::string& text, const std::string& title, zelk::MsgIcon,
                         zelk::MsgButtons b) override {
        shown.push_back(title + ": " + text);
        return b == zelk::MsgButtons::OK ? zelk::MsgResult::OK : zelk::MsgResult::No;
    }
    std::vector<std::string> shown;
};

// The editor's folders inside a throw-away folder (a simulated unit's,
// whose ZelkSerial.ini maps the ports).
inline zelk::Paths pathsIn(const std::string& dir) {
    zelk::Paths p;
    p.programDir = dir;
    p.dataDir = dir + "/data";
    p.configDir = dir;
    return p;
}

class NoFileDialogs : public zelk::FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::string> showSave(const std::string&, const std::string&) override { return std::nullopt; }
};

}  // namespace q7mtest

#endif
