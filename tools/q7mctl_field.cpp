#include "q7mctl_field.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/as_found.h"
#include "files/service_report.h"
#include "model/stamp.h"
#include "platform/files.h"
#include "platform/system.h"
#include "port/port_map.h"
#include "q7mctl_history.h"
#include "q7mslib.h"
#ifdef Q7MCTL_PDF
#include "ui/report_pdf.h"
#endif

namespace q7mctl {

namespace {

zelk::LocalTime now() {
    const std::tm tm = q7m::platform::localCalendar(std::time(nullptr));
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int readBlocks(zelk::SystemBlock& s, zelk::AudioBlock& a, zelk::Blocks which, Reporter& report) {
    if (which != zelk::Blocks::Audio)
        if (unsigned e = GetSystem(s.data())) return report.link("reading the system block", e);
    if (which != zelk::Blocks::System)
        if (unsigned e = GetAudio(a.data())) return report.link("reading the audio block", e);
    return 0;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool applyFile(const ConfigFile& f, zelk::ConfigData& base) {
    if (f.oldImage) {
        std::memcpy(base.systemBlock.data(), f.image.data(), 128);
        std::memcpy(base.audioBlock.data(), f.image.data() + 128, 224);
        return true;
    }
    return zelk::parseConfigText(f.text, base) == zelk::ReadResult::Ok;
}

std::string loadDiffSide(const std::string& arg, DiffSide& side) {
    side = DiffSide{};
    if (arg == "unit") {
        side.unit = true;
        side.title = "Unit";
        return {};
    }
    side.title = baseName(arg);
    return loadConfigFile(arg, side.file);
}

int diff(const DiffSide& left, const DiffSide& right, const std::optional<zelk::SectionSet>& only, Reporter& report) {
    zelk::ConfigData unit;
    if ((left.unit || right.unit))
        if (int status = readBlocks(unit.systemBlock, unit.audioBlock, zelk::Blocks::Both, report)) return status;
    auto side = [&](const DiffSide& s, zelk::ConfigData& out) {
        // A file is read over the unit's blocks when the unit takes part, so
        // only what the file holds can differ.
        out = unit;
        return s.unit || applyFile(s.file, out);
    };
    zelk::ConfigData l, r;
    if (!side(left, l) || !side(right, r)) return report.fail("a file could not be read a second time");
    auto diffs = zelk::compareConfigurations(l.systemBlock, l.audioBlock, r.systemBlock, r.audioBlock);
    if (only) diffs = zelk::inSections(std::move(diffs), *only);
    const std::string in = only ? " in the " + zelk::sectionsText(*only) : "";
    if (diffs.empty()) {
        report.done("No differences" + in + " between " + left.title + " and " + right.title +
                    " (the upload date stamp and the bytes the unit does not use are not compared)");
        return 0;
    }
    std::string title = right.title == left.title ? right.title + " (2)" : right.title;
    std::printf("%s", zelk::differencesTable(diffs, left.title, title).c_str());
    report.done(std::to_string(diffs.size()) + (diffs.size() == 1 ? " setting differs" : " settings differ") + in);
    return kDifferent;
}

namespace {

// Prints how the unit's settings compare with `sent`.
int sayComparison(const zelk::ConfigData& sent, const zelk::ConfigData& unit, zelk::Blocks which,
                  const std::string& what, int mismatchStatus, Reporter& report) {
    const auto diffs = zelk::compareConfigurations(sent.systemBlock, sent.audioBlock, unit.systemBlock,
                                                   unit.audioBlock, which);
    if (diffs.empty()) {
        report.done("Verified: the unit holds the settings of " + what);
        return 0;
    }
    std::printf("%s", zelk::differencesTable(diffs, what, "Unit").c_str());
    if (mismatchStatus == kDifferent) {
        report.done("The unit differs from " + what + " in " + std::to_string(diffs.size()) +
                    (diffs.size() == 1 ? " setting" : " settings"));
        return kDifferent;
    }
    return report.fail("NOT verified: the unit holds other values for " + zelk::differenceSummary(diffs) +
                       " than were sent; upload again, and if the same settings come back wrong the unit needs "
                       "service");
}

}  // namespace

int verifyUnit(const zelk::ConfigData& sent, zelk::Blocks which, const std::string& what, int mismatchStatus,
               Reporter& report) {
    zelk::ConfigData unit = sent;
    if (int status = readBlocks(unit.systemBlock, unit.audioBlock, which, report)) return status;
    return sayComparison(sent, unit, which, what, mismatchStatus, report);
}

int verifyFile(const ConfigFile& file, const std::optional<zelk::SectionSet>& only, Reporter& report) {
    // The file over the unit's own blocks: the bytes a ".zcf" does not hold
    // are the unit's, so only the file's settings can differ.  One read.
    zelk::ConfigData unit;
    if (int status = readBlocks(unit.systemBlock, unit.audioBlock, zelk::Blocks::Both, report)) return status;
    zelk::ConfigData wanted = unit;
    if (!applyFile(file, wanted)) return report.fail(file.path + " could not be read a second time");
    if (only) {
        // The other sections are the unit's own: they cannot differ.
        zelk::ConfigData fromFile = wanted;
        wanted = unit;
        zelk::takeSections(wanted.systemBlock, wanted.audioBlock, fromFile.systemBlock, fromFile.audioBlock, *only);
        return sayComparison(wanted, unit, zelk::Blocks::Both, "the " + zelk::sectionsText(*only) + " of " + file.path,
                             kDifferent, report);
    }
    return sayComparison(wanted, unit, zelk::Blocks::Both, file.path, kDifferent, report);
}

int backupToArchive(int port, Reporter& report) {
    zelk::ConfigData data;
    if (int status = readUnit(data, report)) return status;
    const std::string dataDir = zelk::defaultDataDirectory();
    const auto settings = zelk::readServiceSettings(zelk::serviceSettingsPath(dataDir));
    const auto kept = zelk::keepAsFound(zelk::asFoundDirectory(dataDir), data, now(), settings.asFoundMaxFiles,
                                        {port, q7m::mapPort(port).target.text});
    if (!kept) return report.fail("cannot keep the unit's configuration in the as-found archive: " + kept.error);
    zelk::HistoryRecord mark = newRecord(port, zelk::kActionAsFound);
    mark.source = kept.path;
    mark.result = zelk::kResultKept;
    keepRecord(port, mark);
    std::string text = "Saved the unit's configuration to " + kept.path + " (last upload " + data.TheaterInfo[9] + ")";
    if (const std::string note = zelk::prunedNote(kept.removed, settings.asFoundMaxFiles); !note.empty())
        text += "\n" + note;
    report.done(text);
    return 0;
}

bool canWriteReports() {
#ifdef Q7MCTL_PDF
    return true;
#else
    return false;
#endif
}

int report(const std::string& path, int port, Reporter& out) {
    zelk::ConfigData data;
    std::int16_t w[7] = {};
    if (unsigned e = GetUnitVersion(w)) return out.link("reading versions", e);
    if (int status = readUnit(data, out)) return status;
    zelk::ReportContext ctx;
    ctx.when = now();
    ctx.versions = std::array<std::int16_t, 7>{w[0], w[1], w[2], w[3], w[4], w[5], w[6]};
    const zelk::HistoryRead history = zelk::readHistory(historyFile(port));
    for (const auto& note : history.notes) std::fprintf(stderr, "q7mctl: note: %s\n", note.c_str());
    ctx.changes = zelk::changesSinceAsFound(history.records);
    const zelk::ServiceReport r = zelk::buildServiceReport(data, ctx);
#ifdef Q7MCTL_PDF
    if (const std::string why = zelk::writeServiceReportPdfHeadless(r, path); !why.empty())
        return out.fail("cannot write the report " + path + ": " + why);
    out.done("Service report written to " + path);
    return 0;
#else
    (void)r;
    (void)path;
    return out.fail("this q7mctl was built without Qt, which writes the PDF: build with Qt 6 (qt6-base-dev)");
#endif
}

}  // namespace q7mctl
