// Sections taken from another configuration, and the unit's history file:
// a record survives any text in its fields, a damaged line is skipped with
// a note, and nothing already written is touched by the next record.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files/history.h"
#include "model/sections.h"
#include "sim_process.h"

using namespace zelk;

TEST(Sections, NamesParseAndPrintBack) {
    SectionSet s;
    EXPECT_EQ(parseSections("EQ:Left,trims", s), "");
    EXPECT_TRUE(s.has(Section::EqLeft) && s.has(Section::Trims) && !s.has(Section::EqCenter));
    EXPECT_EQ(sectionsText(s), "trims,eq:left");
    ASSERT_EQ(parseSections("eq,obe", s), "");
    EXPECT_EQ(sectionsText(s), "eq,obe");
    EXPECT_TRUE(s.has(Section::EqSub) && !s.has(Section::Options));
    const SectionSet before = s;
    for (const char* bad : {"", "trims,", "eq:top", "trim"}) {
        const std::string why = parseSections(bad, s);
        EXPECT_NE(why.find("the sections are options, trims, eq, eq:left"), std::string::npos) << bad << ": " << why;
    }
    EXPECT_EQ(s, before) << "a refused text leaves the set as it was";
}

TEST(Sections, OnlyTheChosenSettingsAreTakenAndNeverTheStampOrCarriedBytes) {
    SystemBlock unitS, fileS;
    AudioBlock unitA, fileA;
    fileS.setReaderDelay(300);        // both of its bytes differ
    fileS.surroundDelay() = 4;
    fileA.trimLevel(2) = 14;
    fileA.channelEq(0).bandGain(5) = 20;
    fileA.channelEq(4).treble() = 3;
    fileA.obeGain() = 9;
    fileA.uploadStamp(0) = 0x43;      // never a setting
    fileA.bytes[200] = 7;             // carried
    fileA.channelEq(1).bandGain(20) = 5;  // a band a surround does not use

    SectionSet pick;
    ASSERT_EQ(parseSections("options,eq:right", pick), "");
    SystemBlock s = unitS;
    AudioBlock a = unitA;
    EXPECT_EQ(takeSections(s, a, fileS, fileA, pick), 3);
    EXPECT_EQ(s.readerDelay(), 300);
    EXPECT_EQ(s.surroundDelay(), 4);
    EXPECT_EQ(a.channelEq(4).treble(), 3);
    EXPECT_EQ(a.trimLevel(2), 0);
    EXPECT_EQ(a.channelEq(0).bandGain(5), 0);

    s = unitS;
    a = unitA;
    EXPECT_EQ(takeSections(s, a, fileS, fileA, SectionSet::all()), 6);
    EXPECT_TRUE(compareConfigurations(s, a, fileS, fileA).empty());
    EXPECT_EQ(a.uploadStamp(0), 0);
    EXPECT_EQ(a.bytes[200], 0);
    EXPECT_EQ(a.channelEq(1).bandGain(20), 0);

    const auto diffs = compareConfigurations(unitS, unitA, fileS, fileA);
    const auto eq = inSections(diffs, [] {
        SectionSet e;
        parseSections("eq", e);
        return e;
    }());
    ASSERT_EQ(eq.size(), 2u);
    EXPECT_EQ(eq[0].name, "Left Channel 125 Hz");
    EXPECT_EQ(eq[1].name, "Right Channel treble");
}

TEST(History, ARecordKeepsAnyTextAndEveryCutShortLineIsRefused) {
    HistoryRecord r;
    r.time = "2026-12-08 14:30:12";
    r.user = "técnico";
    r.program = "ZELKVELQ";
    r.port = "COM3";
    r.target = "C:\\dev\\tty \"A\"";
    r.action = "upload";
    r.changes = {{"Left Channel trim", "0.5 dB", "-1.0 dB"}, {"Surround Delay", "20 mS", "50 mS"}};
    r.result = kResultRolledBack;
    r.reason = std::string("new \"screen\"\tline\x01 {x}, [y]");
    const std::string line = historyLine(r);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    HistoryRecord back;
    ASSERT_TRUE(parseHistoryLine(line, back)) << line;
    EXPECT_EQ(back.target, r.target);
    EXPECT_EQ(back.reason, r.reason);
    EXPECT_EQ(back.user, r.user);
    ASSERT_EQ(back.changes.size(), 2u);
    EXPECT_EQ(back.changes[1].after, "50 mS");
    EXPECT_EQ(back.result, "rolled back");
    for (std::size_t n = 0; n < line.size(); ++n) {
        HistoryRecord cut;
        EXPECT_FALSE(parseHistoryLine(line.substr(0, n), cut)) << "cut after " << n << " bytes";
    }
    HistoryRecord other;
    EXPECT_TRUE(parseHistoryLine(R"({"time":"t","result":"verified","later":"kept readable","user":"\u00e9\ud83d\ude00"})", other));
    EXPECT_EQ(other.user, "\xC3\xA9\xF0\x9F\x98\x80");
    for (const char* bad : {"[]", "{\"time\":\"t\"}", "{\"time\":\"t\",\"result\":1}", "{\"time\":\"t\",\"result\":\"x\"} x",
                            "{\"time\":\"\\ud800\",\"result\":\"x\"}"})
        EXPECT_FALSE(parseHistoryLine(bad, other)) << bad;
}

TEST(History, AppendedRecordsReadBackAndADamagedLineIsSkippedWithANote) {
    q7mtest::TempDir dir;
    const std::string path = historyPath(dir.path(), 2, "/dev/ttyUSB0");
    EXPECT_EQ(path, dir.path() + "/history/COM2-dev_ttyUSB0.jsonl");
    EXPECT_TRUE(readHistory(path).records.empty()) << "no file yet: an empty history";
    HistoryRecord r;
    r.time = "2026-12-08 10:00:00";
    r.action = kActionAsFound;
    r.result = kResultKept;
    ASSERT_EQ(appendHistory(path, r), "");
    { std::ofstream(path, std::ios::app) << "{\"time\":\"2026-12-08 10:0"; }  // cut short by a crash
    r.time = "2026-12-08 11:00:00";
    r.action = "upload";
    r.result = kResultVerified;
    r.changes = {{"OBE Gain", "0.0 dB", "1.5 dB"}};
    ASSERT_EQ(appendHistory(path, r), "");
    { std::ofstream(path, std::ios::app) << "\r\n   \nnot json\n"; }

    const HistoryRead h = readHistory(path);
    ASSERT_EQ(h.records.size(), 2u);
    ASSERT_EQ(h.notes.size(), 2u);
    EXPECT_EQ(h.notes[0], "line 2 of " + path + " is damaged (cut short or not a record) and was skipped");
    EXPECT_NE(h.notes[1].find("line 6 of"), std::string::npos) << h.notes[1];
    const auto since = changesSinceAsFound(h.records);
    ASSERT_EQ(since.size(), 1u);
    EXPECT_EQ(since[0].time, "2026-12-08 11:00:00");
    EXPECT_EQ(changesSummary(since[0].changes), "OBE Gain 0.0 dB -> 1.5 dB");
    const std::string text = historyText(h.records);
    EXPECT_LT(text.find("11:00:00"), text.find("10:00:00")) << "newest first";
}
