// The Windows side of the port and platform layers: Win32 errors sorted
// into the port faults a technician can act on, the COM port's time-outs,
// port n as Windows' own COMn unless the port map says otherwise, the
// settings folders, and the trace's file and time.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "port/port_map.h"
#include "port/serial_port_win32.h"
#include "profile.h"
#include "temp_folder.h"
#include "unit_link.h"

using namespace q7m;

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class WindowsPortMap : public ::testing::Test {
protected:
    void SetUp() override { q7mtest::setEnv("Q7M_CONFIG_DIR", dir.path); }
    void TearDown() override { q7mtest::unsetEnv("Q7M_CONFIG_DIR"); }
    void ini(const std::string& text) { std::ofstream(dir.file("ZelkSerial.ini"), std::ios::binary) << text; }
    q7mtest::TempFolder dir{"q7mwinports"};
};

}  // namespace

TEST(Win32Port, EachErrorHasItsOwnFault) {
    struct Case {
        DWORD error;
        PortFault atOpen, inTransfer;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, PortFault::NotFound, PortFault::Closed},
        {ERROR_PATH_NOT_FOUND, PortFault::NotFound, PortFault::Io},
        {ERROR_DEV_NOT_EXIST, PortFault::NotFound, PortFault::Closed},
        {ERROR_ACCESS_DENIED, PortFault::NoPermission, PortFault::Closed},  // open: held elsewhere; later: unplugged
        {ERROR_SHARING_VIOLATION, PortFault::InUse, PortFault::Io},
        {ERROR_BUSY, PortFault::InUse, PortFault::Io},
        {ERROR_INVALID_FUNCTION, PortFault::NotSerial, PortFault::Io},
        {ERROR_NOT_SUPPORTED, PortFault::NotSerial, PortFault::Io},
        {ERROR_DEVICE_REMOVED, PortFault::NotFound, PortFault::Closed},
        {ERROR_GEN_FAILURE, PortFault::Io, PortFault::Closed},
        {ERROR_OPERATION_ABORTED, PortFault::Io, PortFault::Closed},
        {ERROR_INVALID_PARAMETER, PortFault::NotSerial, PortFault::Io},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_STREQ(faultName(faultFromOpenError(c.error)), faultName(c.atOpen));
        EXPECT_STREQ(faultName(faultFromIoError(c.error)), faultName(c.inTransfer));
    }
}

TEST(Win32Port, DeviceNamesAndTimeouts) {
    EXPECT_EQ(devicePathFor("COM3"), L"\\\\.\\COM3");
    EXPECT_EQ(devicePathFor("COM12"), L"\\\\.\\COM12");  // above COM9 only this form works
    EXPECT_EQ(devicePathFor("\\\\.\\COM12"), L"\\\\.\\COM12");

    // A short interval time-out ends a read once the bytes stop coming;
    // MAXDWORD there would make Wine wait the whole total time-out.
    for (int bps : {9600, 19200, 57600}) {
        const COMMTIMEOUTS t = readTimeouts(400, bps);
        EXPECT_NE(t.ReadIntervalTimeout, MAXDWORD);
        EXPECT_GE(t.ReadIntervalTimeout, 16u);
        EXPECT_LE(t.ReadIntervalTimeout, 40u);
        EXPECT_EQ(t.ReadTotalTimeoutConstant, 400u);
        EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    }
    EXPECT_EQ(readTimeouts(0, 9600).ReadTotalTimeoutConstant, 1u) << "never 0: with 0 a read would not wait at all";

    Win32SerialPort port("COM3");
    EXPECT_TRUE(port.rateSupported(19200).ok());
    EXPECT_EQ(port.rateSupported(115200).fault, PortFault::RateUnsupported);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.read(nullptr, 0, 10).status.fault, PortFault::Closed);
}

TEST_F(WindowsPortMap, PortNIsWindowsOwnComNUnlessTheTableSaysOtherwise) {
    ini("[Ports]\r\nCOM3 = COM12\r\nCOM4=socket://192.0.2.7:4001\r\n");
    const PortMapping own = mapPort(5);
    EXPECT_FALSE(own.fromTable);
    EXPECT_EQ(own.target.kind, PortTarget::Kind::Device);
    EXPECT_EQ(own.target.device, "COM5");
    EXPECT_TRUE(has(describePort(5), "COM5 is COM5 (Windows' own port of that name; not in [Ports] of")) << describePort(5);
    EXPECT_EQ(mapPort(3).target.device, "COM12");
    EXPECT_TRUE(mapPort(3).fromTable);
    EXPECT_EQ(mapPort(4).target.kind, PortTarget::Kind::Socket);
    EXPECT_EQ(mapPort(4).iniFile, dir.path + "\\ZelkSerial.ini");
}

TEST_F(WindowsPortMap, DiagnosisNamesTheCauseAndTheFix) {
    std::ofstream(dir.file("plain.txt")) << "x";
    ini("[Ports]\r\nCOM2=" + dir.file("plain.txt") + "\r\n");
    struct Case {
        int port;
        PortFault fault;
        const char* inSentence;
    };
    const Case cases[] = {
        {77, PortFault::NotFound, "COM77 does not exist on this computer: plug the adapter in"},
        {2, PortFault::NotSerial, "which is not a serial device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const PortStatus s = diagnosePort(c.port);
        EXPECT_STREQ(faultName(s.fault), faultName(c.fault));
        EXPECT_TRUE(has(s.sentence, c.inSentence)) << s.sentence;
        EXPECT_FALSE(has(s.sentence, "dialout")) << s.sentence;
        EXPECT_FALSE(has(s.sentence, "/dev/")) << s.sentence;
    }
    const PortStatus missing = diagnosePort(77);
    EXPECT_TRUE(missing.systemCode);
    EXPECT_TRUE(has(codeText(missing), "Windows error " + std::to_string(missing.code) + ", ")) << codeText(missing);

    // Access denied (a port held by another program, as Windows says it).
    PortMapping m = mapPort(6);
    PortStatus denied;
    denied.fault = PortFault::NoPermission;
    const std::string why = explainFault(m, denied);
    EXPECT_TRUE(has(why, "Windows refused access to COM6")) << why;
    EXPECT_TRUE(has(why, "another program")) << why;
}

TEST(Win32Port, ASecondOpenIsRefusedWithItsOwnSentence) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll && ::GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "Wine does not refuse a second open of a COM port (on Windows the port's driver does); "
                        "the Linux tests show the library's own exclusive open";
    // On Windows: the first serial port that opens.
    for (const std::string& name : serialDevicesPresent()) {
        Win32SerialPort first(name);
        if (!first.open(9600).ok()) continue;
        Win32SerialPort second(name);
        const PortStatus s = second.open(9600);
        EXPECT_FALSE(s.ok());
        EXPECT_TRUE(s.fault == PortFault::NoPermission || s.fault == PortFault::InUse) << faultName(s.fault);
        EXPECT_FALSE(second.isOpen());
        first.close();
        EXPECT_TRUE(second.open(9600).ok()) << "closing gives the port back";
        return;
    }
    GTEST_SKIP() << "no serial port on this machine that opens";
}

TEST(WindowsPlatform, FoldersFollowTheProfile) {
    q7mtest::unsetEnv("Q7M_CONFIG_DIR");
    q7mtest::unsetEnv("ZELKVELQ_TEST_DIR");
    q7mtest::setEnv("APPDATA", "C:\\Users\\tech\\AppData\\Roaming");
    q7mtest::setEnv("LOCALAPPDATA", "C:\\Users\\tech\\AppData\\Local");
    EXPECT_EQ(platform::configDirectory(), "C:\\Users\\tech\\AppData\\Roaming\\q7m");
    EXPECT_EQ(iniPath(), "C:\\Users\\tech\\AppData\\Roaming\\q7m\\ZelkSerial.ini");
    EXPECT_EQ(platform::dataDirectory("ZELKVELQ_TEST_DIR", "zelkvelq"), "C:\\Users\\tech\\AppData\\Local\\zelkvelq");
    q7mtest::setEnv("ZELKVELQ_TEST_DIR", "D:\\site");
    EXPECT_EQ(platform::dataDirectory("ZELKVELQ_TEST_DIR", "zelkvelq"), "D:\\site");
    q7mtest::unsetEnv("ZELKVELQ_TEST_DIR");
}

TEST(WindowsPlatform, TheLibraryRunsOnTheNtFamily) {
    const platform::SystemInfo s = platform::identifySystem();
    EXPECT_EQ(s.family, platform::SystemInfo::Family::WindowsNT);
    EXPECT_GE(s.major, 6);
    const PlatformInfo p = queryPlatform();
    EXPECT_TRUE(p.supported) << "InitDLL would refuse with 0x0400";
    EXPECT_TRUE(p.ntFamily);
}

TEST(WindowsPlatform, TraceFileAndTime) {
    q7mtest::TempFolder dir("q7mtrace");
    const std::string path = dir.file("trace.txt");
    {
        platform::AppendFile a, b;  // two holders, as two programs sharing one trace
        ASSERT_TRUE(a.open(path));
        ASSERT_TRUE(b.open(path));
        a.append("one\n");
        b.append("two\n");
        a.append("three\n");
    }
    EXPECT_EQ(q7mtest::slurp(path), "one\ntwo\nthree\n");
    const std::string t = platform::traceTimestamp();
    ASSERT_EQ(t.size(), 26u) << t;
    EXPECT_EQ(t[10], 'T');
    EXPECT_EQ(t[19], '.');
    EXPECT_EQ(platform::localCalendar(0).tm_year + 1900 >= 1969, true);
}
