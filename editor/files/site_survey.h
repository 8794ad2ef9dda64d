// site_survey.h - reading the other units of a site.  The library holds one
// port per process and the editor's is taken by its own link, so other
// units are read by q7mctl, which reads many ports side by side in worker
// processes: the editor starts it in the background ("q7mctl --json -p
// LIST verify FOLDER") and reads its JSON.  The logic sees only the
// UnitSurvey interface; the Qt front end runs the process.
#ifndef ZELK_FILES_SITE_SURVEY_H
#define ZELK_FILES_SITE_SURVEY_H

#include <functional>
#include <string>
#include <vector>

namespace zelk {

// One unit as q7mctl reported it.
struct UnitReading {
    int port = 0;
    bool ok = false;
    std::string state;  // "matches", "differs", "no baseline", "no answer", "busy"
    std::string cpu, dspController, dspFirmware;
    std::string fader, format;
    std::string mute;   // "on", "off", or "" when not read
    std::string lastUpload;
    int differences = 0;
    std::string result, error;
};

struct SurveyResult {
    std::vector<UnitReading> units;
    std::string error;  // why nothing could be read ("" when q7mctl answered)
};

// Reads q7mctl's JSON array of units.  Returns "" or what is wrong with it.
std::string parseUnitReadings(const std::string& json, std::vector<UnitReading>& out);

// The command lines of the two jobs (without the program).
std::vector<std::string> surveyArguments(const std::vector<int>& ports, const std::string& folder);
std::vector<std::string> approveArguments(int port, const std::string& folder);

// What q7mctl printed and how it ended, as a result for the window.
SurveyResult surveyResult(const std::string& out, const std::string& err, int exitStatus, bool started);

class UnitSurvey {
public:
    virtual ~UnitSurvey() = default;
    // Reads `ports` side by side, each compared with FOLDER/COMn.zcf.
    // Returns at once; `done` comes later, on the user interface's thread.
    virtual void read(const std::vector<int>& ports, const std::string& folder,
                      std::function<void(SurveyResult)> done) = 0;
    // Writes FOLDER/COMn.zcf from the unit on `port`, in the background.
    virtual void approve(int port, const std::string& folder, std::function<void(SurveyResult)> done) = 0;
    // Whether a job is under way.
    virtual bool busy() const = 0;
    // Ends the job under way (its units are set back as q7mctl does on a
    // signal); its `done` still comes.
    virtual void stop() = 0;
};

}  // namespace zelk

#endif
