// q7mctl across a whole site: several q7msim units, each on its own
// pseudo-terminal, one worker process per port.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <fcntl.h>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include "files/config_file.h"
#include "ser2net_process.h"
#include "sim_process.h"

using namespace q7mtest;

namespace {

using CtlRun = CommandRun;
CtlRun q7mctl(const std::string& args) { return runCommand(std::string(Q7MCTL_PATH) + " " + args + " 2>&1"); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0, nl;
    while ((nl = text.find('\n', start)) != std::string::npos) {
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

// Units on COM1, COM3, COM5 and COM6 (CPU builds 1, 3, 5, 6); COM2 is
// mapped to a device that does not exist.
class Site : public ::testing::Test {
protected:
    void SetUp() override {
        for (int port : {1, 3, 5, 6}) units[port] = std::make_unique<SimProcess>(std::vector<std::string>{"--build", std::to_string(port)});
        std::string ini = "[Ports]\r\nCOM2=" + dir.file("absent") + "\r\n";
        for (auto& [port, sim] : units) ini += "COM" + std::to_string(port) + "=" + sim->link() + "\r\n";
        writeFile(dir.file("ZelkSerial.ini"), ini);
        ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    }
    TempDir dir;
    std::map<int, std::unique_ptr<SimProcess>> units;
};

}  // namespace

TEST_F(Site, OneLinePerUnitInPortOrder) {
    CtlRun r = q7mctl("-p 6,1,3,5-5 version");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{"COM1   ok      CPU 1.06.0001  DSP 1.03/1.09",
                                                       "COM3   ok      CPU 1.06.0003  DSP 1.03/1.09",
                                                       "COM5   ok      CPU 1.06.0005  DSP 1.03/1.09",
                                                       "COM6   ok      CPU 1.06.0006  DSP 1.03/1.09"}));

    // --all takes every mapped port; the missing device fails, the others do not.
    ASSERT_TRUE(units[3]->control("fader 5.5"));
    r = q7mctl("--all live");
    EXPECT_EQ(r.status, 1) << r.out;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 5u) << r.out;
    EXPECT_EQ(l[0], "COM1   ok      CPU 1.06.0001  DSP 1.03/1.09  Fader 7.0, mute off, EXTERNAL 6-TRK");
    EXPECT_EQ(l[1].rfind("COM2   FAILED  connecting failed: Serial Port Error, Could Not Initialise (0x0041)", 0), 0u)
        << l[1];
    EXPECT_EQ(l[2], "COM3   ok      CPU 1.06.0003  DSP 1.03/1.09  Fader 5.5, mute off, EXTERNAL 6-TRK");

    // A silent unit and one at another speed fail on their own lines.
    ASSERT_TRUE(units[5]->control("silent on"));
    ASSERT_TRUE(units[6]->control("baud 19200"));
    r = q7mctl("-p 1,5,6 -s 19200 version");
    EXPECT_EQ(r.status, 1);
    const auto m = lines(r.out);
    ASSERT_EQ(m.size(), 3u) << r.out;
    EXPECT_EQ(m[0], "COM1   ok      CPU 1.06.0001  DSP 1.03/1.09");
    EXPECT_EQ(m[1], "COM5   FAILED  connecting failed: Error Receiving, Could Not Initialise, Error during ASCII command (0x00C4)");
    EXPECT_EQ(m[2].rfind("COM6   FAILED  connecting failed", 0), 0u) << m[2];
    EXPECT_TRUE(units[1]->waitForLog("TEXT B1"));  // the unit that worked is back at 9600
}

TEST_F(Site, JsonForScripts) {
    const CtlRun r = q7mctl("-p 1,2 --json live");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "[\n"
              "  {\"port\": 1, \"ok\": true, \"cpu\": \"1.06.0001\", \"dspController\": \"1.03\", \"dspFirmware\": "
              "\"1.09\", \"fader\": \"7.0\", \"mute\": false, \"format\": \"EXTERNAL 6-TRK\", \"result\": \"Fader 7.0, "
              "mute off, EXTERNAL 6-TRK\"},\n"
              "  {\"port\": 2, \"ok\": false, \"error\": \"connecting failed: Serial Port Error, Could Not Initialise "
              "(0x0041): COM2 is " + dir.file("absent") + ", which does not exist: plug the adapter in, or correct COM2 "
              "under [Ports] in " + dir.file("ZelkSerial.ini") + ".\"}\n"
              "]\n");
    // One port with --json gives the same form.
    EXPECT_EQ(q7mctl("-p 3 --json version").out.rfind("[\n  {\"port\": 3, \"ok\": true", 0), 0u);
}

TEST_F(Site, BackupWritesOneFilePerUnit) {
    ASSERT_TRUE(units[5]->control("fader 3.5"));
    const std::string folder = dir.file("site");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const CtlRun r = q7mctl("-p 1,3,5-6 backup " + folder);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out)[2], "COM5   ok      CPU 1.06.0005  DSP 1.03/1.09  Saved the unit's configuration to " +
                                   folder + "/COM5.zcf (last upload 3:07 PM 25/03/04)");
    for (int port : {1, 3, 5, 6}) {
        zelk::ConfigData data;
        ASSERT_EQ(zelk::ReadConfigFile(folder + "/COM" + std::to_string(port) + ".zcf", data), zelk::ReadResult::Ok)
            << port;
        EXPECT_EQ(data.CurrentVolume, port == 5 ? 35 : 70) << port;
    }
}

TEST_F(Site, RefusesWhatCannotRunAcrossPorts) {
    struct Case {
        std::string args, says;
    };
    for (const Case& c : std::vector<Case>{
             {"-p 1,x version", "-p 1,x: 'x' is not a port number from 1 to 255 or a range such as 5-8"},
             {"-p 5-3 version", "the range '5-3' runs backwards"},
             {"-p 1,,2 version", "'' is not a port number"},
             {"-p 1,300 version", "'300' is not a port number"},
             {"-p 1,2 restore x.zcf", "'restore' works on one port at a time"},
             {"--all vol 5", "'vol' works on one port at a time"},
             {"--all -p 1 version", "give either -p or --all, not both"},
             {"-p 1,3 backup " + dir.file("ZelkSerial.ini"), "is not a folder"},
             {"-p 1,3 verify " + dir.file("none"), "is not an existing folder"},
             {"-p 1,3 diff " + dir.file("ZelkSerial.ini") + " unit", "diff across ports takes one folder"},
             {"--all --baseline " + dir.file("none") + " metrics m.prom", "is not an existing folder"},
             {"--baseline " + dir.path() + " live", "--baseline goes with metrics"},
             {"--all --only trims metrics m.prom", "--only works with restore, diff and verify"},
         }) {
        const CtlRun r = q7mctl(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
    }
    writeFile(dir.file("ZelkSerial.ini"), "[Serial]\r\nSR_ReadInterval=12\r\n");
    const CtlRun r = q7mctl("--all version");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("no port is mapped"), std::string::npos) << r.out;
    for (auto& [port, sim] : units) EXPECT_TRUE(sim->logMatching("TEXT").empty()) << port;
}

namespace {

// Holds a device as another program does: open, with the advisory lock.
class PortHolder {
public:
    explicit PortHolder(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~PortHolder() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool holding() const { return fd_ >= 0; }

private:
    int fd_;
};

CtlRun run(const std::string& command) { return runCommand(command + " 2>&1"); }

bool installed(const std::string& program) { return run("command -v " + program).status == 0; }

// The body of http://127.0.0.1:PORT/PATH, or "" when nothing answered.
std::string httpGet(int port, const std::string& path) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (::write(s, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
            char buf[4096];
            for (ssize_t n; (n = ::read(s, buf, sizeof buf)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(s);
    const auto body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

// The value of the sample `name{labels}` in a metrics text, or "" when absent.
std::string sample(const std::string& text, const std::string& series) {
    for (const auto& l : lines(text))
        if (l.rfind(series + " ", 0) == 0) return l.substr(series.size() + 1);
    return {};
}

}  // namespace

// A site with baselines: COM1 as approved, COM3's trim changed after the
// baseline, COM5 without a baseline, COM2's device missing, COM6 held by
// another program.
class Baselines : public Site {
protected:
    void SetUp() override {
        Site::SetUp();
        folder = dir.file("approved/site");  // made by the backup
        const CtlRun b = q7mctl("-p 1,3,5 backup " + folder);
        ASSERT_EQ(b.status, 0) << b.out;
        ASSERT_EQ(::unlink((folder + "/COM5.zcf").c_str()), 0);
        zelk::ConfigData changed;
        ASSERT_EQ(zelk::ReadConfigFile(folder + "/COM3.zcf", changed), zelk::ReadResult::Ok);
        changed.audioBlock.trimLevel(0) = 14;
        zelk::WriteConfigFile(dir.file("changed.zcf"), changed);
        const CtlRun r = q7mctl("-p 3 restore " + dir.file("changed.zcf"));
        ASSERT_EQ(r.status, 0) << r.out;
        holder = std::make_unique<PortHolder>(units[6]->link());
        ASSERT_TRUE(holder->holding());
    }
    std::string folder;
    std::unique_ptr<PortHolder> holder;
};

TEST_F(Baselines, VerifyNamesEachUnitsStateAndExitsByTheWorst) {
    CtlRun r = q7mctl("--all verify " + folder);
    EXPECT_EQ(r.status, 3) << r.out;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 5u) << r.out;
    EXPECT_EQ(l[0], "COM1   matches " + folder + "/COM1.zcf");
    EXPECT_EQ(l[1].rfind("COM2   no answer: connecting failed: Serial Port Error", 0), 0u) << l[1];
    EXPECT_EQ(l[2], "COM3   1 setting differs: Left Channel trim (baseline 0.0 dB, unit -1.0 dB)");
    EXPECT_EQ(l[3], "COM5   no baseline: there is no " + folder + "/COM5.zcf");
    EXPECT_EQ(l[4].rfind("COM6   busy: COM6 (" + units[6]->link() + ") is in use by another program", 0), 0u) << l[4];

    // diff: the same lines, with each differing unit's table.
    r = q7mctl("-p 1,3 diff " + folder);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("COM3   1 setting differs: Left Channel trim (baseline 0.0 dB, unit -1.0 dB)\n"
                         "    Setting            COM3.zcf  Unit\n"
                         "    Left Channel trim  0.0 dB    -1.0 dB\n"),
              std::string::npos)
        << r.out;

    // --only: each unit compared in those sections alone (COM3's trim
    // differs, its equaliser does not).
    r = q7mctl("-p 1,3 --only eq verify " + folder);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "COM1   matches the eq of " + folder + "/COM1.zcf\nCOM3   matches the eq of " + folder +
                         "/COM3.zcf\n");
    r = q7mctl("-p 1,3 --only trims,eq:left diff " + folder);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("COM3   1 setting differs in the trims,eq:left: Left Channel trim (baseline 0.0 dB, unit "
                         "-1.0 dB)\n    Setting"),
              std::string::npos)
        << r.out;

    // Not compared is 1, all matching is 0 (one port too).
    EXPECT_EQ(q7mctl("-p 1,5 verify " + folder).status, 1);
    EXPECT_EQ(q7mctl("-p 1,6 verify " + folder).status, 1);
    EXPECT_EQ(q7mctl("-p 1 verify " + folder).status, 0);

    r = q7mctl("-p 3,6 --json verify " + folder);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("{\"port\": 3, \"ok\": false, \"state\": \"differs\", \"cpu\": \"1.06.0003\""), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"differences\": [{\"setting\": \"Left Channel trim\", \"baseline\": \"0.0 dB\", \"unit\": "
                         "\"-1.0 dB\"}]"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"port\": 6, \"ok\": false, \"state\": \"busy\", \"error\": \"busy: COM6"), std::string::npos)
        << r.out;
    // The busy port was never written to.
    EXPECT_TRUE(units[6]->logMatching("TEXT").empty());
}

TEST_F(Baselines, ANewBaselineKeepsTheScreensTheaterInformation) {
    zelk::ConfigData named;
    ASSERT_EQ(zelk::ReadConfigFile(folder + "/COM1.zcf", named), zelk::ReadResult::Ok);
    named.TheaterInfo[1] = "Rex Cinema";
    named.TheaterInfo[8] = "2";
    ASSERT_TRUE(zelk::WriteConfigFile(folder + "/COM1.zcf", named));
    ASSERT_TRUE(units[1]->control("fader 4.5"));
    ASSERT_EQ(q7mctl("-p 1,3 backup " + folder).status, 0);
    zelk::ConfigData again;
    ASSERT_EQ(zelk::ReadConfigFile(folder + "/COM1.zcf", again), zelk::ReadResult::Ok);
    EXPECT_EQ(again.CurrentVolume, 45);
    EXPECT_EQ(again.TheaterInfo[1], "Rex Cinema");
    EXPECT_EQ(again.TheaterInfo[8], "2");
}

TEST_F(Baselines, MetricsForTheTextfileCollector) {
    const std::string prom = dir.file("q7m.prom");
    CtlRun r = q7mctl("--all --baseline " + folder + " metrics " + prom);
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string m = readFile(prom);
    EXPECT_EQ(sample(m, "q7m_up{port=\"COM1\"}"), "1");
    EXPECT_EQ(sample(m, "q7m_up{port=\"COM2\"}"), "0");
    EXPECT_EQ(sample(m, "q7m_up{port=\"COM6\"}"), "");  // busy is not down
    EXPECT_EQ(sample(m, "q7m_port_busy{port=\"COM6\"}"), "1");
    EXPECT_EQ(sample(m, "q7m_port_busy{port=\"COM1\"}"), "0");
    EXPECT_EQ(sample(m, "q7m_settings_match_baseline{port=\"COM1\"}"), "1");
    EXPECT_EQ(sample(m, "q7m_settings_match_baseline{port=\"COM3\"}"), "0");
    EXPECT_EQ(sample(m, "q7m_settings_differences{port=\"COM3\"}"), "1");
    EXPECT_EQ(sample(m, "q7m_settings_match_baseline{port=\"COM5\"}"), "");  // no baseline
    EXPECT_EQ(sample(m, "q7m_info{port=\"COM5\",cpu=\"1.06.0005\",dsp_controller=\"1.03\",dsp_firmware=\"1.09\"}"), "1");
    EXPECT_EQ(sample(m, "q7m_fader_level{port=\"COM1\"}"), "7");
    EXPECT_EQ(sample(m, "q7m_format{port=\"COM1\"}"), "3");
    EXPECT_EQ(sample(m, "q7m_muted{port=\"COM1\"}"), "0");
    EXPECT_FALSE(sample(m, "q7m_last_upload_timestamp_seconds{port=\"COM3\"}").empty());  // the restore stamped it
    EXPECT_FALSE(sample(m, "q7m_scrape_duration_seconds").empty());
    // Every family has its HELP and TYPE; no temporary file is left.
    for (const char* family : {"q7m_up", "q7m_port_busy", "q7m_info", "q7m_fader_level", "q7m_muted", "q7m_format",
                               "q7m_settings_match_baseline", "q7m_settings_differences",
                               "q7m_last_upload_timestamp_seconds", "q7m_poll_duration_seconds",
                               "q7m_scrape_duration_seconds"}) {
        EXPECT_NE(m.find(std::string("# HELP ") + family + " "), std::string::npos) << family;
        EXPECT_NE(m.find(std::string("# TYPE ") + family + " gauge\n"), std::string::npos) << family;
    }
    int beside = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        beside += e.path().filename().string().rfind("q7m.prom", 0) == 0;
    EXPECT_EQ(beside, 1);
    // A file that cannot be written is status 1, whatever the units say.
    r = q7mctl("-p 1 metrics " + dir.file("no/such/folder/q7m.prom"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("cannot write the metrics"), std::string::npos) << r.out;

    // Prometheus's own checker accepts the file.
    if (!installed("promtool")) GTEST_SKIP() << "promtool is not installed (Debian package prometheus; scripts/setup.sh installs it)";
    const CtlRun check = run("promtool check metrics < " + prom);
    EXPECT_EQ(check.status, 0) << check.out;
}

// node_exporter's textfile collector serves the file over HTTP as it is.
TEST_F(Baselines, NodeExporterServesTheMetrics) {
    if (!installed("prometheus-node-exporter"))
        GTEST_SKIP() << "prometheus-node-exporter is not installed (scripts/setup.sh installs it)";
    const std::string textfiles = dir.file("textfile");
    ASSERT_EQ(::mkdir(textfiles.c_str(), 0755), 0);
    ASSERT_EQ(q7mctl("--all --baseline " + folder + " metrics " + textfiles + "/q7m.prom").status, 0);
    const int port = q7mtest::freeTcpPort();
    const pid_t exporter = ::fork();
    if (exporter == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        const std::string listen = "--web.listen-address=127.0.0.1:" + std::to_string(port);
        const std::string folderArg = "--collector.textfile.directory=" + textfiles;
        ::execlp("prometheus-node-exporter", "prometheus-node-exporter", listen.c_str(),
                 "--collector.disable-defaults", "--collector.textfile", folderArg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(exporter, 0);
    std::string page;
    for (int attempt = 0; attempt < 100 && page.find("q7m_up") == std::string::npos; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        page = httpGet(port, "/metrics");
    }
    ::kill(exporter, SIGTERM);
    ::waitpid(exporter, nullptr, 0);
    const auto l = lines(page);
    auto has = [&](const std::string& line) { return std::find(l.begin(), l.end(), line) != l.end(); };
    EXPECT_TRUE(has("q7m_up{port=\"COM1\"} 1")) << page;
    EXPECT_TRUE(has("q7m_up{port=\"COM2\"} 0"));
    EXPECT_TRUE(has("q7m_port_busy{port=\"COM6\"} 1"));
    EXPECT_TRUE(has("q7m_settings_match_baseline{port=\"COM3\"} 0"));
    EXPECT_TRUE(has("q7m_settings_match_baseline{port=\"COM1\"} 1"));
    // The collector read the file without complaint.
    EXPECT_TRUE(has("node_textfile_scrape_error 0")) << page;
}
