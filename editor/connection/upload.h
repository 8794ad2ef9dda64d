// upload.h - reading the blocks from the unit and showing them, and
// sending them back, automatically or on request; the upload options.
#ifndef ZELK_CONNECTION_UPLOAD_H
#define ZELK_CONNECTION_UPLOAD_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "connection/dispatcher.h"
#include "connection/live_status.h"
#include "connection/online_gate.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/auto_upload.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

// The status bar's message after an upload reached the unit: the time and
// what was sent (Which 0 both blocks, 1 the system block, 2 the audio block).
std::string uploadStatusText(int which, const LocalTime& t);
// ...and after an edit that was not sent.
inline constexpr const char* kNotSentYet = "Changed in the editor only: press Upload Settings to send it to the unit.";
inline constexpr const char* kKeptOffLine = "Off line: the change is kept in the editor; connect and upload to send it.";

// Shows the install date from the audio block's upload stamp.
class StampDisplay {
public:
    virtual ~StampDisplay() = default;
    virtual void ShowDate() = 0;
};

class Upload : public AutoUpload {
public:
    struct Controls {
        MainBar& bar;  // the upload options menu
        std::array<Button*, 6> cmdUp;
        OptionsTab& options;
        TrimTab& trim;
        ObeTab& obe;
    };
    Upload(ModVals& vals, Dispatcher& d, Document& doc, LiveStatus& live, OnLineGate& gate, StampDisplay& stamp,
           ClockService& clock, MessageBoxService& msg, Controls c);

    void UploadToUnit(int which, int force) override;
    void cmdUp_Click(int index);
    void ShowSettings();
    void ApplyUnitSystemSettings();
    void ApplyUnitAudioSettings();
    void mnuAuto_Click();
    void mnuConfirm_Click();
    void mnuShort_Click();

    // The upload options ("Automatically Upload", "Confirm Message Box",
    // "Enable Shortcuts"), shown as the menu's check marks.
    bool autoUpload() const { return auto_; }
    bool confirm() const { return confirm_; }
    bool shortcuts() const { return short_; }
    void setOptions(bool autoUpload, bool confirm, bool shortcuts);

    // Asked before an explicit upload asks or sends anything (false: not
    // now), told just before the blocks go out, and told after every upload
    // that was sent, with its Which.
    std::function<bool(int which)> beforeExplicitUpload;
    std::function<void(int which)> beforeSend;
    std::function<void(int which)> afterUpload;

    // What the last upload stored in the unit, and whether it was the
    // user's command (not an edit's automatic upload).
    struct Sent {
        bool system = false, audio = false, explicitUpload = false;
    };
    const Sent& lastSent() const { return sent_; }

private:
    void showOptions();
    ModVals& v_;
    Dispatcher& d_;
    Document& doc_;
    LiveStatus& live_;
    OnLineGate& gate_;
    StampDisplay& stamp_;
    ClockService& clock_;
    MessageBoxService& msg_;
    Controls c_;
    bool auto_ = false, confirm_ = false, short_ = false;
    Sent sent_;
};

}  // namespace zelk

#endif
