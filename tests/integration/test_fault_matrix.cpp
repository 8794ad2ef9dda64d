// Faults of the line and the unit, through the editor's logic with the real
// library against q7msim.  Each case: the editor on line (or about to
// connect) with an edit not yet sent, a fault, the action that meets it;
// then what the user sees, how many times the command was tried (counted,
// never timed), the edit still in memory and savable, and, once the unit is
// back, one Connect that brings the editor on line.
#include <gtest/gtest.h>

#include <cstdlib>

#include "connection/link_api.h"
#include "connection/port_hint.h"
#include "connection/upload.h"
#include "editor_harness.h"
#include "files/config_file.h"
#include "sim_process.h"

using namespace zelktest;
using q7mtest::SimProcess;

namespace {

// The library's line trace, one file for the process: every byte written
// and read, and why a read or write ended without its bytes.
const std::string& tracePath() {
    static const q7mtest::TempDir dir;
    static const std::string path = dir.file("line.trace");
    return path;
}

class TraceMark {
public:
    TraceMark() : from_(q7mtest::readFile(tracePath()).size()) {}
    // Trace lines written since the mark that contain `needle`.
    int count(const std::string& needle) const {
        const std::string t = q7mtest::readFile(tracePath()).substr(from_);
        int n = 0;
        for (std::size_t p = t.find(needle); p != std::string::npos; p = t.find(needle, p + 1)) ++n;
        return n;
    }
    std::string text() const { return q7mtest::readFile(tracePath()).substr(from_); }

private:
    std::size_t from_;
};

// What meets the fault.
enum class Act {
    Poll,     // the poll timer's tick reads format, mute and fader
    Upload,   // "Upload Settings" sends both blocks
    Update,   // "Update" reads both blocks back
    Connect,  // off line: the Connect button
    Speed,    // on line: 19200 chosen in the speed menu, the fault, then a poll
};

struct FaultCase {
    const char* name;
    std::vector<std::string> fault;  // control lines that make the fault
    Act act;
    // The attempts, counted by the dispatcher's pauses (one after each
    // failed attempt): six when it gave up.
    int attempts;
    // How many of them reached the line: lines of the unit's log that
    // contain `counted`, or, for a needle starting "TX" or "--", lines of
    // the library's line trace (the bytes the unit never heard).
    std::string counted;
    int reached;
    bool endsOnLine;
    // The message box's text ("" = no box).  kNoAnswer and kPortGone stand
    // for "Unable to connect to unit!" with the port's hint.
    std::string box;
    std::vector<std::string> comeBack;  // control lines that bring the unit back
};

// CTest names the case, not its bytes.
[[maybe_unused]] void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

std::string report(std::initializer_list<const char*> lines) {
    std::string text = "The following Errors were encountered:\n\n";
    for (const char* l : lines) text += std::string(l) + "\n";
    return text + "\n\nCannot Continue On Line!\n";
}

const std::string kNoAnswer = "(no answer)";
const std::string kPortGone = "(port gone)";
const std::string kTextNotReceived = report({"- Error Receiving", "- Error during ASCII command"});

// "FMT X", "OK" and "Q7M>", each with CR LF, are 17 bytes: `garble 17`
// spoils one whole reply.  A hang-up is placed where the host is waiting
// in the middle of a reply (after `cut`), so the case does not depend on
// which process runs first.
const std::vector<FaultCase> kCases = {
    {"SilentUnit", {"silent on"}, Act::Poll, 6, "TEXT F", 6, false, kTextNotReceived, {"silent off"}},
    {"GarbledReplyOnce", {"garble 17"}, Act::Poll, 2, "TEXT F", 2, true, "", {}},
    {"GarbledReplies", {"garble 999999"}, Act::Poll, 6, "TEXT F", 6, false, kTextNotReceived, {"garble 0"}},
    {"DroppedLineOnce", {"dropline 1"}, Act::Poll, 2, "TEXT F", 2, true, "", {}},
    {"DroppedLines", {"dropline 999999"}, Act::Poll, 6, "TEXT F", 6, false, kTextNotReceived, {"dropline 0"}},
    {"UnknownCharacterOnce", {"badtext 1"}, Act::Poll, 2, "TEXT F", 2, true, "", {}},
    // A format letter the library does not know fails in the command's
    // context alone (0x0080).
    {"UnknownCharacters", {"badtext 999999"}, Act::Poll, 6, "TEXT F", 6, false,
     report({"- Error during ASCII command"}), {"badtext 0"}},
    {"WrongCodeOnce", {"wrongcode 1"}, Act::Upload, 2, "FRAME 0A", 2, true, "", {}},
    {"WrongCodes", {"wrongcode 999999"}, Act::Upload, 6, "FRAME 0A", 6, false,
     report({"- Error Communicating System Block", "- Invalid response from unit"}), {"wrongcode 0"}},
    {"WrongCodeReadingBlocks", {"wrongcode 999999"}, Act::Update, 6, "FRAME 02", 6, false,
     report({"- Error Communicating Audio Block", "- Invalid response from unit"}), {"wrongcode 0"}},
    {"BlockCutOffOnce", {"cut 60"}, Act::Update, 2, "FRAME 02", 2, true, "", {}},
    // The port goes away 60 bytes into the audio block: the next five
    // attempts find it gone at their first write.
    {"HangUpInTheMiddleOfABlock", {"cut 60", "after 1 hangup"}, Act::Update, 6, "TX 10 02 02 00", 1, false,
     report({"- Error Transmitting", "- Error Communicating Audio Block"}), {"plug"}},
    // ...and while the unit confirms a block it stored: the editor cannot
    // know it arrived, and says the upload did not complete.
    {"HangUpBeforeTheBlockIsConfirmed", {"after 1 cut 2", "after 2 hangup"}, Act::Upload, 6, "TX 10 02 0A", 1, false,
     report({"- Error Transmitting", "- Error Communicating System Block"}), {"plug"}},
    {"CablePulledInTheMiddleOfABlock", {"after 1 unplug"}, Act::Upload, 6, "TX 10 02 0A", 6, false,
     report({"- Error Receiving", "- Error Communicating System Block"}), {"plug"}},
    {"UnitLeftAtAnotherSpeed", {"baud 19200"}, Act::Poll, 6, "TX 46 0D", 6, false, kTextNotReceived, {"baud 9600"}},
    // On line at 19200, the unit is switched off and on: it starts at 9600.
    // Given up, the link goes back to 9600 too, where the next Connect finds it.
    {"UnitRestartedWhileAt19200", {"baud 9600"}, Act::Speed, 6, "TX 46 0D", 6, false, kTextNotReceived, {}},
    {"SilentAtConnect", {"silent on"}, Act::Connect, 6, "TEXT M", 6, false, kNoAnswer, {"silent off"}},
    {"AnotherSpeedAtConnect", {"baud 19200"}, Act::Connect, 6, "TX 4D 0D", 6, false, kNoAnswer, {"baud 9600"}},
    // The port goes away 40 bytes into the first block the connection
    // reads: the blocks in memory are left as they were.
    {"HangUpWhileConnecting", {"after 2 cut 40", "after 3 hangup"}, Act::Connect, 6, "TX 10 02 02 00", 1, false,
     report({"- Error Transmitting", "- Error Communicating Audio Block"}), {"plug"}},
    {"PortGoneAtConnect", {"hangup"}, Act::Connect, 6, "-- open COM1: not-found", 6, false, kPortGone, {"plug"}},
};

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override {
        ::setenv("Q7M_TRACE", tracePath().c_str(), 1);
        sim = std::make_unique<SimProcess>();
        ASSERT_TRUE(sim->running());
        ASSERT_TRUE(lib.load(q7mtest::libraryPath())) << lib.error();
        h = std::make_unique<Harness>(&lib.api());
        h->initialise();
    }
    void TearDown() override {
        h.reset();
        if (lib.loaded() && lib.api().DLLShutdown) lib.api().DLLShutdown();
    }
    Editor& e() { return *h->ed; }
    FrmMain& m() { return h->ed->main; }
    // Counts the attempts the case names.
    int reached(const FaultCase& c, const TraceMark& mark) const {
        const std::string& n = c.counted;
        return n.rfind("TX", 0) == 0 || n.rfind("--", 0) == 0 ? mark.count(n)
                                                              : static_cast<int>(sim->logMatching(n).size());
    }

    std::unique_ptr<SimProcess> sim;
    zelk::LinkLibrary lib;
    std::unique_ptr<Harness> h;
};

TEST_P(FaultMatrix, BoundedClearAndRecoverable) {
    const FaultCase& c = GetParam();
    const bool connecting = c.act == Act::Connect;
    if (!connecting) {
        ASSERT_TRUE(h->connect());
        ASSERT_EQ(m().bar.lblStat.caption(), "On Line");
    }
    // The user's edit, not sent yet: 50 mS surround delay, right trim 16.
    m().options.cboSurroundDelay.setText("50 mS");
    m().trim.sclPNG[4].setValue(16);
    ASSERT_EQ(e().vals.systemBlock.surroundDelay(), 5);
    ASSERT_EQ(e().vals.audioBlock.trimLevel(4), 16);
    EXPECT_EQ(m().bar.staStatus.caption(), connecting ? zelk::kKeptOffLine : zelk::kNotSentYet);

    if (c.act == Act::Speed) {
        m().bar.mnuBaudN[1].click();  // confirmed with the unit
        ASSERT_TRUE(m().bar.mnuBaudN[1].checked());
        ASSERT_TRUE(h->msg.boxes.empty()) << h->msg.boxes[0].text;
    }
    for (const auto& line : c.fault) ASSERT_TRUE(sim->control(line)) << line;
    sim->clearLog();
    h->msg.boxes.clear();
    h->clock.sleptMs = 0;
    const TraceMark mark;
    switch (c.act) {
    case Act::Poll:
    case Act::Speed: m().bar.tmrPoll.tick(); break;
    case Act::Upload: m().format.cmdUp.click(); break;
    case Act::Update: m().bar.mnuRef.click(); break;
    case Act::Connect: m().bar.cmdConnect.click(); break;
    }

    // Bounded: the command was tried exactly as often as the retry rule
    // says (each failed attempt is followed by one 300 ms pause), and no
    // attempt was repeated inside the library.
    EXPECT_EQ(h->clock.sleptMs, 300L * (c.attempts - (c.endsOnLine ? 1 : 0)));
    EXPECT_EQ(reached(c, mark), c.reached) << mark.text();
    EXPECT_EQ(m().bar.lblStat.caption(), c.endsOnLine ? "On Line" : "Off Line");
    EXPECT_EQ(e().vals.OnLine, vb(c.endsOnLine));
    EXPECT_FALSE(e().prog.form.visible());
    if (!c.endsOnLine) {
        // Given up: the library is back at 9600 (where the next Connect
        // opens), and the speed menu says so.
        EXPECT_EQ(e().vals.BaudIndex, 0);
        EXPECT_TRUE(m().bar.mnuBaudN[0].checked());
        EXPECT_FALSE(m().bar.mnuBaudN[1].checked());
    }
    if (c.box.empty()) {
        EXPECT_TRUE(h->msg.boxes.empty()) << h->msg.boxes[0].text;
    } else {
        ASSERT_EQ(h->msg.boxes.size(), 1u);
        EXPECT_EQ(h->msg.boxes[0].title, "Connection Error");
        const std::string& text = h->msg.boxes[0].text;
        if (c.box == kNoAnswer) {
            EXPECT_EQ(text, "Unable to connect to unit!\n\n" + zelk::portHint(1));
        } else if (c.box == kPortGone) {
            const std::string gone = "Unable to connect to unit!\n\nCOM1 is " + sim->link() + ", which does not exist";
            EXPECT_EQ(text.rfind(gone, 0), 0u) << text;
        } else {
            EXPECT_EQ(text, c.box);
        }
    }
    if (c.act == Act::Upload) {
        EXPECT_EQ(m().bar.staStatus.caption(),
                  c.endsOnLine ? zelk::uploadStatusText(0, h->clock.time) : "Upload not completed: the unit is off line.");
    }

    // The edit is still in memory (a failed read leaves the blocks as they
    // were; a completed Update read the unit's) and can be saved.
    const bool unitRead = c.act == Act::Update && c.endsOnLine;
    EXPECT_EQ(e().vals.systemBlock.surroundDelay(), unitRead ? 2 : 5);
    EXPECT_EQ(e().vals.audioBlock.trimLevel(4), unitRead ? 12 : 16);
    const std::string saved = h->dir.file("after-fault.zcf");
    h->files.paths.push_back(saved);
    e().fileCmds.mnuSaveAs_Click();
    zelk::ConfigData back;
    ASSERT_EQ(zelk::ReadConfigFile(saved, back), zelk::ReadResult::Ok);
    EXPECT_EQ(back.systemBlock.surroundDelay(), e().vals.systemBlock.surroundDelay());
    EXPECT_EQ(back.audioBlock.trimLevel(4), e().vals.audioBlock.trimLevel(4));
    EXPECT_EQ(m().bar.form.caption(), "ZELK Cinema Processor and EQ Software   <" + saved + ">");

    // The unit comes back: one Connect brings the editor on line, without
    // a message.
    for (const auto& line : c.comeBack) ASSERT_TRUE(sim->control(line)) << line;
    h->msg.boxes.clear();
    const TraceMark reconnect;
    m().bar.cmdConnect.click();
    EXPECT_EQ(m().bar.lblStat.caption(), "On Line") << reconnect.text();
    EXPECT_EQ(e().vals.OnLine, kTrue);
    EXPECT_TRUE(h->msg.boxes.empty()) << h->msg.boxes[0].text;
    EXPECT_TRUE(e().dispatch.UnitAccepted());
    EXPECT_EQ(m().format.lnlInfo[0].caption(), "CPU Version: 1.06");
    // ...and the link works: a poll and an upload reach the unit.
    sim->clearLog();
    m().bar.tmrPoll.tick();
    EXPECT_EQ(sim->logMatching("TEXT F").size(), 1u);
    m().format.cmdUp.click();
    EXPECT_EQ(sim->logMatching("STORED").size(), 2u);
    EXPECT_EQ(m().bar.lblStat.caption(), "On Line");
}

INSTANTIATE_TEST_SUITE_P(EditorOnSimulator, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& i) { return std::string(i.param.name); });

}  // namespace
