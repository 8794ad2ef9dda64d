// The as-found archive: names, never overwriting, the cap that removes the
// oldest (and says so), the listing, and the service settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "files/as_found.h"
#include "sim_process.h"

using namespace zelk;
namespace fs = std::filesystem;

namespace {

LocalTime at(int day, int hour, int minute, int second) { return {2026, 12, day, 2, hour, minute, second}; }

ConfigData site(const std::string& theater, const std::string& screen, const std::string& serial) {
    ConfigData d;
    d.TheaterInfo[1] = theater;
    d.TheaterInfo[8] = screen;
    d.TheaterInfo[7] = serial;
    return d;
}

std::size_t filesIn(const std::string& dir) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += e.is_regular_file();
    return n;
}

TEST(AsFound, NamesAreTheaterScreenSerialAndTime) {
    const struct {
        const char *theater, *screen, *serial, *name;
    } cases[] = {
        {"Rex Cinema", "2", "A1234", "Rex_Cinema_screen-2_SN-A1234_2026-12-08_143005.zcf"},
        {"", "", "", "unknown_screen-unknown_SN-unknown_2026-12-08_143005.zcf"},
        {"../../etc/passwd", "1/2", "a:b*c?", "etc_passwd_screen-1_2_SN-a_b_c_2026-12-08_143005.zcf"},
        {"  Odéon  Lille ", "Salle 3", "SN 7", "Od_on_Lille_screen-Salle_3_SN-SN_7_2026-12-08_143005.zcf"},
        {".hidden", "..", "x", "hidden_screen-unknown_SN-x_2026-12-08_143005.zcf"},
    };
    for (const auto& c : cases) EXPECT_EQ(asFoundFileName(c.theater, c.screen, c.serial, at(8, 14, 30, 5)), c.name);
    // A unit without theater information is named by its port.
    EXPECT_EQ(asFoundFileName("", " ", "", at(8, 14, 30, 5), 12), "COM12_2026-12-08_143005.zcf");
    EXPECT_EQ(asFoundFileName("Rex", "", "", at(8, 14, 30, 5), 12), "Rex_screen-unknown_SN-unknown_2026-12-08_143005.zcf");
    // Very long theater names are cut, so the name stays within every
    // file system's limit.
    EXPECT_LT(asFoundFileName(std::string(300, 'x'), "1", "1", at(8, 14, 30, 5)).size(), 100u);
}

TEST(AsFound, NeverOverwritesAFileOfTheSameNameAndSecond) {
    q7mtest::TempDir tmp;
    const std::string dir = tmp.file("archive/as-found");  // made when missing
    ConfigData first = site("Rex", "1", "S1");
    first.audioBlock.trimLevel(0) = 3;
    const auto a = keepAsFound(dir, first, at(8, 9, 0, 0), 10);
    ASSERT_TRUE(a) << a.error;
    const std::string firstText = q7mtest::readFile(a.path);

    ConfigData second = site("Rex", "1", "S1");
    second.audioBlock.trimLevel(0) = 20;
    const auto b = keepAsFound(dir, second, at(8, 9, 0, 0), 10);
    ASSERT_TRUE(b) << b.error;
    EXPECT_NE(a.path, b.path);
    EXPECT_EQ(fs::path(b.path).filename(), "Rex_screen-1_SN-S1_2026-12-08_090000-2.zcf");
    EXPECT_EQ(q7mtest::readFile(a.path), firstText);

    // The content is a configuration file that reads back.
    ConfigData back;
    ASSERT_EQ(ReadConfigFile(b.path, back), ReadResult::Ok);
    EXPECT_EQ(back.audioBlock.trimLevel(0), 20);
    EXPECT_EQ(back.TheaterInfo[1], "Rex");
}

TEST(AsFound, RecordsThePortAndTargetReadersNeverSee) {
    q7mtest::TempDir tmp;
    ConfigData d;
    d.audioBlock.trimLevel(5) = 17;
    d.TheaterInfo[10] = "last line";
    const auto k = keepAsFound(tmp.path(), d, at(8, 9, 0, 0), 0, {3, "socket://booth \"3\":4001"});
    ASSERT_TRUE(k) << k.error;
    const std::string text = q7mtest::readFile(k.path);
    EXPECT_EQ(fs::path(k.path).filename(), "COM3_2026-12-08_090000.zcf");
    const UnitSource s = recordedSource(text);
    EXPECT_EQ(s.port, 3);
    EXPECT_EQ(s.target, "socket://booth '3':4001");
    // The configuration reads as before, up to its last value.
    ConfigData back;
    ASSERT_EQ(ReadConfigFile(k.path, back), ReadResult::Ok);
    EXPECT_EQ(back.audioBlock.trimLevel(5), 17);
    EXPECT_EQ(back.TheaterInfo[10], "last line");
    EXPECT_EQ(withoutSource(text), configFileText(d));
    // A file kept before the port was recorded still lists, without one;
    // a source line anywhere but last is not taken for one.
    q7mtest::writeFile(tmp.file("Rex_screen-1_SN-S_2026-12-01_100000.zcf"), configFileText(site("Rex", "1", "S")));
    q7mtest::writeFile(tmp.file("odd.zcf"), configFileText(d) + sourceLine({4, "x"}) + "1,2\r\n");
    EXPECT_EQ(recordedSource(q7mtest::readFile(tmp.file("odd.zcf"))).port, 0);
    const auto list = listAsFound(tmp.path());
    ASSERT_EQ(list.size(), 3u);
    for (const auto& e : list) EXPECT_EQ(e.source.port, e.fileName.rfind("COM3_", 0) == 0 ? 3 : 0) << e.fileName;
}

TEST(AsFound, TheCapRemovesTheOldestAndSaysWhich) {
    q7mtest::TempDir tmp;
    const std::string& dir = tmp.path();
    // Someone's own file in the folder is never removed.
    q7mtest::writeFile(tmp.file("my notes.zcf"), "x");
    std::vector<std::string> kept;
    // Written out of time order: the age comes from the name.
    for (int day : {5, 3, 7}) kept.push_back(keepAsFound(dir, site("Rex", "1", "S"), at(day, 10, 0, 0), 3).path);
    EXPECT_EQ(filesIn(dir), 4u);

    const auto r = keepAsFound(dir, site("Rex", "1", "S"), at(9, 10, 0, 0), 3);
    ASSERT_TRUE(r);
    ASSERT_EQ(r.removed.size(), 1u);
    EXPECT_EQ(r.removed[0], kept[1]);  // the 3rd of December
    EXPECT_FALSE(fs::exists(kept[1]));
    EXPECT_TRUE(fs::exists(tmp.file("my notes.zcf")));
    EXPECT_EQ(prunedNote(r.removed, 3),
              "The as-found archive holds at most 3 files: removed the oldest, Rex_screen-1_SN-S_2026-12-03_100000.zcf.");

    // A lowered cap removes as many as needed, never the new file; 0 is no cap.
    const auto s = keepAsFound(dir, site("Rex", "1", "S"), at(1, 10, 0, 0), 1);
    EXPECT_EQ(s.removed.size(), 3u);
    EXPECT_TRUE(fs::exists(s.path));
    EXPECT_TRUE(keepAsFound(dir, site("Rex", "1", "S"), at(2, 10, 0, 0), 0).removed.empty());
    EXPECT_EQ(prunedNote({}, 3), "");
}

TEST(AsFound, AnUnwritableFolderIsSaidNotHidden) {
    q7mtest::TempDir tmp;
    q7mtest::writeFile(tmp.file("file"), "x");
    const auto r = keepAsFound(tmp.file("file/sub"), site("Rex", "1", "S"), at(8, 1, 2, 3), 3);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("cannot make the folder"), std::string::npos) << r.error;
}

TEST(AsFound, ListsByTheaterScreenThenNewestFirst) {
    q7mtest::TempDir tmp;
    const std::string& dir = tmp.path();
    keepAsFound(dir, site("Rex", "2", "B"), at(4, 8, 0, 0), 0);
    keepAsFound(dir, site("Rex", "1", "A"), at(3, 8, 0, 0), 0);
    keepAsFound(dir, site("Rex", "1", "A"), at(6, 8, 0, 0), 0);
    keepAsFound(dir, site("Apollo", "4", "C"), at(1, 8, 0, 0), 0);
    q7mtest::writeFile(tmp.file("broken.zcf"), "not a configuration\r\n");
    const auto list = listAsFound(dir);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_FALSE(list[0].readable);  // "(unreadable file)" sorts first
    EXPECT_EQ(list[1].theater, "Apollo");
    EXPECT_EQ(list[2].when, "2026-12-06 08:00:00");
    EXPECT_EQ(list[3].when, "2026-12-03 08:00:00");
    EXPECT_EQ(list[3].serial, "A");
    EXPECT_EQ(list[4].screen, "2");
    EXPECT_TRUE(listAsFound(tmp.file("none")).empty());
}

TEST(AsFound, ServiceSettingsReadBackAndSurviveDamage) {
    q7mtest::TempDir tmp;
    const std::string path = serviceSettingsPath(tmp.file("data"));
    EXPECT_EQ(readServiceSettings(path).asFoundMaxFiles, kAsFoundDefaultMax);
    ASSERT_TRUE(writeServiceSettings(path, {true, 42}));
    const auto s = readServiceSettings(path);
    EXPECT_TRUE(s.showDifferencesBeforeUpload);
    EXPECT_EQ(s.asFoundMaxFiles, 42);
    q7mtest::writeFile(path, "ShowDifferencesBeforeUpload=maybe\r\nAsFoundMaxFiles=-5\r\nAsFoundMaxFiles=99999999\n");
    const auto d = readServiceSettings(path);
    EXPECT_FALSE(d.showDifferencesBeforeUpload);
    EXPECT_EQ(d.asFoundMaxFiles, kAsFoundDefaultMax);
}

}  // namespace
