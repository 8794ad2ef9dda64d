// q7mctl on a service visit, against q7msim: diff, verify, restore's
// read-back catching a unit that stores a byte wrong, backup into the
// as-found archive, and the service report.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "files/as_found.h"
#include "files/config_file.h"
#include "sim_process.h"

using namespace q7mtest;
namespace fs = std::filesystem;

namespace {

using CtlRun = CommandRun;
CtlRun q7mctl(const std::string& args) { return runCommand(std::string(Q7MCTL_PATH) + " " + args + " 2>&1"); }

// The unit's configuration as a file, and the same with the Center trim
// at -1.0 dB.
struct Files {
    explicit Files(const SimProcess& sim) : unit(sim.dir() + "/unit.zcf"), edited(sim.dir() + "/edited.zcf") {
        const auto r = q7mctl("backup " + unit);
        EXPECT_EQ(r.status, 0) << r.out;
        zelk::ConfigData d;
        EXPECT_EQ(zelk::ReadConfigFile(unit, d), zelk::ReadResult::Ok);
        centerTrim = d.audioBlock.trimLevel(2);
        d.audioBlock.trimLevel(2) = 14;
        EXPECT_TRUE(zelk::WriteConfigFile(edited, d));
    }
    std::string unit, edited;
    int centerTrim = 0;
};

std::size_t stored(const SimProcess& sim) { return sim.logMatching("STORED").size(); }

}  // namespace

TEST(Q7mctlField, DiffAndVerifyNameTheSettingInWordsAndSendNothing) {
    SimProcess sim;
    Files f(sim);
    ASSERT_EQ(f.centerTrim, 11);  // the simulator's installed +0.5 dB

    auto r = q7mctl("diff " + f.edited);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("Setting              edited.zcf  Unit\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Center Channel trim  -1.0 dB     0.5 dB\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1 setting differs"), std::string::npos);

    r = q7mctl("diff unit " + f.edited);  // the sides swap
    EXPECT_NE(r.out.find("Center Channel trim  0.5 dB  -1.0 dB\n"), std::string::npos) << r.out;
    r = q7mctl("diff " + f.unit);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("No differences between unit.zcf and Unit"), std::string::npos);
    // Two files: the unit is not needed.
    ASSERT_TRUE(sim.control("silent on"));
    r = q7mctl("diff " + f.unit + " " + f.edited);
    EXPECT_EQ(r.status, 3) << r.out;
    ASSERT_TRUE(sim.control("silent off"));

    r = q7mctl("verify " + f.unit);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Verified: the unit holds the settings of " + f.unit), std::string::npos) << r.out;
    r = q7mctl("verify " + f.edited);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("The unit differs from " + f.edited + " in 1 setting"), std::string::npos) << r.out;
    EXPECT_EQ(stored(sim), 0u);

    for (const char* bad : {"diff", "diff a.zcf b.zcf c.zcf", "verify", "diff /nonexistent.zcf",
                            "verify /etc/passwd", "report out.txt"}) {
        r = q7mctl(bad);
        EXPECT_EQ(r.status, 2) << bad << ": " << r.out;
    }
}

TEST(Q7mctlField, RestoreReadsBackAndNamesWhatTheUnitDidNotKeep) {
    SimProcess sim;
    Files f(sim);
    ASSERT_TRUE(sim.control("corrupt audio 8"));  // the Center trim's cell
    auto r = q7mctl("restore " + f.edited);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("Center Channel trim  -1.0 dB"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("-1.5 dB"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("NOT verified: the unit holds other values for Center Channel trim than were sent"),
              std::string::npos)
        << r.out;

    ASSERT_TRUE(sim.control("corrupt off"));
    r = q7mctl("restore " + f.edited);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Verified: the unit holds the settings of " + f.edited), std::string::npos) << r.out;
}

TEST(Q7mctlField, BackupWithoutAFileFillsTheArchiveNeverOverwriting) {
    SimProcess sim;
    const std::string data = sim.dir() + "/data";
    ::setenv("ZELKVELQ_DATA_DIR", data.c_str(), 1);
    for (int i = 0; i < 3; ++i) {
        const auto r = q7mctl("backup");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("Saved the unit's configuration to " + data + "/as-found/COM1_"),
                  std::string::npos)
            << r.out;
    }
    // Three runs, three files, even within one second; each records its
    // port, and q7mctl takes it as a configuration file.
    const auto kept = zelk::listAsFound(zelk::asFoundDirectory(data));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].source.port, 1);
    EXPECT_EQ(kept[0].source.target, sim.link());
    const auto v = q7mctl("verify " + kept[0].path);
    EXPECT_EQ(v.status, 0) << v.out;

    ASSERT_TRUE(zelk::writeServiceSettings(zelk::serviceSettingsPath(data), {false, 2}));
    const auto r = q7mctl("backup");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("The as-found archive holds at most 2 files: removed the oldest"), std::string::npos) << r.out;
    EXPECT_EQ(zelk::listAsFound(zelk::asFoundDirectory(data)).size(), 2u);
    ::unsetenv("ZELKVELQ_DATA_DIR");
}

TEST(Q7mctlField, ReportWritesAPdfWithoutADisplay) {
    SimProcess sim;
    const std::string pdf = sim.dir() + "/visit.pdf";
    ::unsetenv("DISPLAY");
    const auto r = q7mctl("report " + pdf);
    if (r.out.find("built without Qt") != std::string::npos) GTEST_SKIP() << r.out;
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string bytes = readFile(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    // The text itself, when poppler's pdftotext is there.
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        ASSERT_EQ(std::system(("pdftotext -layout " + pdf + " " + pdf + ".txt").c_str()), 0);
        const std::string text = readFile(pdf + ".txt");
        for (const char* expected : {"Service Report", "CPU Version", "1.06", "Surround Delay", "20 mS",
                                     "Center Channel (27 bands)", "Subwoofer Channel (sub-bass parametric)",
                                     "Master fader", "Changes since the as-found",
                                     "no upload recorded since the as-found", "Page 4 of 4"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}
