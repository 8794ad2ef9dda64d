#include "support/support_command.h"

#include "form/translate.h"
#include "support/support_bundle.h"

namespace zelk {

namespace {
bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

SupportCommand::SupportCommand(FrmSupport& f, MainBar& bar, MessageBoxService& msg, FileDialogService& files,
                               ClockService& clock, Sources sources)
    : f_(f), bar_(bar), msg_(msg), files_(files), clock_(clock), src_(std::move(sources)) {
    std::string text = translate("Support", "The support bundle is one archive for the support desk. It holds:\n");
    for (const std::string& line : bundleContents(kShown)) text += "  \u2022 " + line + "\n";
    text += translate("Support", "\nTheater information and host names are left out unless you tick the box below.");
    f_.lblContents.setCaption(text);
    bar_.mnuSupport.onClick = [this] { mnuSupport_Click(); };
    f_.cmdSave.onClick = [this] { cmdSave_Click(); };
    f_.cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void SupportCommand::mnuSupport_Click() {
    f_.chkTheater.setValue(0);
    f_.form.setVisible(true);
}

void SupportCommand::cmdCancel_Click() { f_.form.setVisible(false); }

void SupportCommand::cmdSave_Click() {
    const LocalTime now = clock_.now();
    const auto chosen = files_.showSave(translate("Support", "Support bundle (*.tar.gz)|*.tar.gz"), bundleFileName(now));
    if (!chosen || chosen->empty()) return;  // still in the dialog
    std::string path = *chosen;
    if (!endsWith(path, ".tar.gz") && !endsWith(path, ".tgz")) path += ".tar.gz";
    BundleSources s;
    s.dataDir = src_.dataDir;
    s.configDir = src_.configDir;
    s.versions = src_.versions ? src_.versions() : decltype(s.versions){};
    s.includeTheater = f_.chkTheater.value() != 0;
    s.writtenBy = src_.program;
    s.when = now;
    const std::vector<BundleEntry> entries = collectBundle(s);
    if (const std::string why = writeBundle(path, entries); !why.empty()) {
        msg_.show(fill(translate("Support", "The support bundle could not be written to %1: %2."), {path, why}),
                  translate("Support", "Save Support Bundle"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    lastWritten_ = path;
    f_.form.setVisible(false);
    bar_.staStatus.setCaption(fill(s.includeTheater ? translate("Support", "Support bundle saved: %1 (%2 files).")
                                                    : translate("Support", "Support bundle saved: %1 (%2 files; theater "
                                                                           "information and host names left out)."),
                                   {path, std::to_string(entries.size())}));
}

void SupportCommand::offerAfterUncleanEnd(const PreviousSession& previous) {
    if (!previous.endedUncleanly) return;
    std::string text =
        previous.started.empty()
            ? translate("Support", "The editor did not end cleanly the last time it ran: it may have crashed, been "
                                   "killed, or lost its power.")
            : fill(translate("Support", "The editor did not end cleanly the last time it ran (started %1): it may have "
                                        "crashed, been killed, or lost its power."),
                   {previous.started});
    if (!previous.crashNote.empty()) {
        const std::string first = previous.crashNote.substr(0, previous.crashNote.find('\n'));
        text += "\n\n" + first + ".";
    }
    text += translate("Support", "\n\nIts line trace is kept. Save a support bundle for the support desk now?");
    if (msg_.show(text, translate("Support", "Unexpected End"), MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
        mnuSupport_Click();
}

}  // namespace zelk
