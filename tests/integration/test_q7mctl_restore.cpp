// q7mctl restoring part of a file against q7msim: --only takes the chosen
// sections and sends only the blocks that change; an audio block the unit
// fails after its system block was stored is rolled back; each upload is
// in the unit's history with its reason and result.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "files/config_file.h"
#include "files/history.h"
#include "sim_process.h"

using namespace q7mtest;

namespace {

using CtlRun = CommandRun;
CtlRun q7mctl(const std::string& args) { return runCommand(std::string(Q7MCTL_PATH) + " " + args + " 2>&1"); }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A unit with its own history folder, its settings as a file, and a file
// that differs from it in an option, every trim and two channels' bands.
struct Visit {
    Visit() {
        ::setenv("ZELKVELQ_DATA_DIR", data.c_str(), 1);
        auto r = q7mctl("backup " + unit);
        EXPECT_EQ(r.status, 0) << r.out;
        zelk::ConfigData d;
        EXPECT_EQ(zelk::ReadConfigFile(unit, d), zelk::ReadResult::Ok);
        d.systemBlock.surroundDelay() = 9;  // 90 mS
        for (int ch = 0; ch < 6; ++ch) d.audioBlock.trimLevel(ch) = 16;  // -2.0 dB
        d.audioBlock.channelEq(0).bandGain(3) = 20;  // Left 80 Hz
        d.audioBlock.channelEq(2).bandGain(3) = 20;  // Center 80 Hz
        EXPECT_TRUE(zelk::WriteConfigFile(tuned, d));
        sim.clearLog();
    }
    ~Visit() { ::unsetenv("ZELKVELQ_DATA_DIR"); }
    std::vector<zelk::HistoryRecord> history() const {
        const auto h = zelk::readHistory(zelk::historyPath(data, 1, sim.link()));
        EXPECT_TRUE(h.notes.empty());
        return h.records;
    }
    std::size_t stored(const char* block) const { return sim.logMatching(std::string("STORED ") + block).size(); }

    SimProcess sim;
    std::string data = sim.dir() + "/data", unit = sim.dir() + "/unit.zcf", tuned = sim.dir() + "/tuned.zcf";
};

}  // namespace

TEST(Q7mctlRestore, OnlyTheChosenSectionsChangeAndAnUnchangedBlockIsNotSent) {
    Visit v;
    auto r = q7mctl("--only trims --reason 'screen 2 re-tuned' restore " + v.tuned);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "the system block was unchanged and not sent")) << r.out;
    EXPECT_TRUE(has(r.out, "Verified: the unit holds the settings of the trims of " + v.tuned)) << r.out;
    EXPECT_EQ(v.stored("system block"), 0u);
    EXPECT_EQ(v.stored("audio block"), 1u);
    // What is left between the file and the unit: everything but the trims.
    r = q7mctl("diff " + v.tuned);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_TRUE(has(r.out, "Surround Delay")) << r.out;
    EXPECT_TRUE(has(r.out, "Left Channel 80 Hz")) << r.out;
    EXPECT_FALSE(has(r.out, "trim")) << r.out;
    EXPECT_EQ(q7mctl("--only trims verify " + v.tuned).status, 0);
    EXPECT_EQ(q7mctl("--only options,trims verify " + v.tuned).status, 3);

    r = q7mctl("--only eq:left restore " + v.tuned);
    ASSERT_EQ(r.status, 0) << r.out;
    r = q7mctl("--only eq diff " + v.tuned);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_TRUE(has(r.out, "Center Channel 80 Hz")) << r.out;
    EXPECT_FALSE(has(r.out, "Left Channel")) << r.out;
    EXPECT_TRUE(has(r.out, "1 setting differs in the eq")) << r.out;
    // Nothing left to take: nothing is sent and nothing recorded.
    v.sim.clearLog();
    r = q7mctl("--only eq:left,trims restore " + v.tuned);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "Nothing to send")) << r.out;
    EXPECT_TRUE(v.sim.logMatching("FRAME 0").size() == 2u) << "only the two reads";

    const auto h = v.history();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].action, "restore");
    EXPECT_EQ(h[0].sections, "trims");
    EXPECT_EQ(h[0].reason, "screen 2 re-tuned");
    EXPECT_EQ(h[0].result, "verified");
    ASSERT_EQ(h[0].changes.size(), 6u);
    EXPECT_EQ(h[0].changes[0].setting, "Left Channel trim");
    EXPECT_EQ(h[0].changes[0].after, "-2.0 dB");
    ASSERT_EQ(h[1].changes.size(), 1u);
    EXPECT_EQ(h[1].changes[0].setting, "Left Channel 80 Hz");

    for (const char* bad : {"--only eq:top restore x.zcf", "--only , diff x.zcf", "--only trims backup",
                            "--reason why verify x.zcf", "-p 1,2 history"})
        EXPECT_EQ(q7mctl(bad).status, 2) << bad;
}

TEST(Q7mctlRestore, AFailedAudioBlockTakesTheSystemBlockBack) {
    Visit v;
    struct Case {
        const char* fault;
        const char* result;
    } cases[] = {
        {"onaudio wrongcode 1", "rolled back"},
        // The port goes away and comes back on a new device: a new link.
        {"onaudio hangup 400", "rolled back"},
        // The unit refuses the previous system block too, before and after a new link.
        {"onaudio wrongcode 3", "half done"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(v.sim.control(c.fault));
        auto r = q7mctl("--reason 'fault test' restore " + v.tuned);
        EXPECT_EQ(r.status, 1) << r.out;
        if (std::string(c.result) == "rolled back") {
            EXPECT_TRUE(has(r.out, "rolled back: the unit holds its previous settings")) << r.out;
            EXPECT_EQ(q7mctl("verify " + v.unit).status, 0) << "the unit is as it was";
        } else {
            EXPECT_TRUE(has(r.out, "the restore is HALF DONE: the unit stored the system block of " + v.tuned +
                                       " but not its audio block; it now holds the new system settings with its "
                                       "previous audio settings (equalisers, trims, OBE). Restore again once the unit "
                                       "answers."))
                << r.out;
        }
        EXPECT_EQ(v.history().back().result, c.result);
        EXPECT_EQ(v.history().back().reason, "fault test");
    }
}

TEST(Q7mctlRestore, HistoryPrintsNewestFirstAndSkipsADamagedLine) {
    Visit v;
    ASSERT_EQ(q7mctl("--only trims --reason first restore " + v.tuned).status, 0);
    // A crash in the middle of a record: its line is cut short, and the
    // next record still starts on a line of its own.
    const std::string path = zelk::historyPath(v.data, 1, v.sim.link());
    { FILE* f = std::fopen(path.c_str(), "a"); ASSERT_TRUE(f); std::fputs("{\"time\":\"2026-01-0", f); std::fclose(f); }
    ASSERT_EQ(q7mctl("--only options --reason second restore " + v.tuned).status, 0);

    auto r = q7mctl("history");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "note: line 2 of " + path + " is damaged")) << r.out;
    const auto second = r.out.find("(only options): verified"), first = r.out.find("(only trims): verified");
    ASSERT_NE(second, std::string::npos) << r.out;
    ASSERT_NE(first, std::string::npos) << r.out;
    EXPECT_LT(second, first);
    EXPECT_TRUE(has(r.out, "    Surround Delay: 20 mS -> 90 mS\n")) << r.out;
    EXPECT_TRUE(has(r.out, "    reason: second\n")) << r.out;

    r = q7mctl("--json history");
    EXPECT_TRUE(has(r.out, "[\n  {\"time\":")) << r.out;
    EXPECT_TRUE(has(r.out, "\"reason\":\"second\"")) << r.out;
}
