// What the support desk gets: the session's bounded line trace, the
// support bundle saved from Help > Save Support Bundle (and by q7mctl
// support), and the next start's word after a session that did not end
// cleanly (killed, or stopped by a fatal signal with its crash note).
#include <QDialog>
#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <archive.h>
#include <archive_entry.h>
#include <csignal>
#include <map>

#include "files/as_found.h"
#include "files/config_file.h"
#include "files/history.h"
#include "gui_session.h"
#include "support/session.h"
#include "support/support_command.h"

using namespace zelk;
using q7mtest::GuiSession;

namespace {

// The files of a .tar.gz and their contents.
std::map<std::string, std::string> readArchive(const std::string& path) {
    std::map<std::string, std::string> files;
    archive* a = archive_read_new();
    archive_read_support_filter_all(a);
    archive_read_support_format_all(a);
    if (archive_read_open_filename(a, path.c_str(), 65536) != ARCHIVE_OK) {
        archive_read_free(a);
        return files;
    }
    archive_entry* e = nullptr;
    while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
        std::string content(static_cast<std::size_t>(archive_entry_size(e)), '\0');
        if (!content.empty()) archive_read_data(a, content.data(), content.size());
        std::string name = archive_entry_pathname(e);
        files[name.substr(name.find('/') + 1)] = content;  // without the archive's own folder
    }
    archive_read_free(a);
    return files;
}

int countLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Where in the archive a text turns up.
std::vector<std::string> filesHolding(const std::map<std::string, std::string>& files, const std::string& text) {
    std::vector<std::string> in;
    for (const auto& [name, content] : files)
        if (content.find(text) != std::string::npos || name.find(text) != std::string::npos) in.push_back(name);
    return in;
}

}  // namespace

class GuiSupportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    GuiSession s;
    Session session;
    std::string ownTrace;

    Paths paths() { return q7mtest::pathsIn(sim->dir()); }

    // zelkvelq in a process of its own on `dataDir`, with no port mapped.
    std::unique_ptr<QProcess> runEditor(const std::string& dataDir, const std::string& folder) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELKVELQ_DATA_DIR", QString::fromStdString(dataDir));
        env.insert("Q7M_CONFIG_DIR", QString::fromStdString(folder));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("Q7M_TRACE");
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QString::fromStdString(folder));
        p->start(ZELKVELQ_PATH, {});
        return p;
    }
    static bool markerSays(const std::string& dataDir, const std::string& what) {
        return q7mtest::readFile(sessionMarkerPath(dataDir, Which::Current)).rfind(what, 0) == 0;
    }

private slots:
    void initTestCase() {
        sim = std::make_unique<q7mtest::SimProcess>();
        // A unit behind a network server of the booth, in the port table.
        q7mtest::writeFile(sim->dir() + "/ZelkSerial.ini",
                           q7mtest::readFile(sim->dir() + "/ZelkSerial.ini") + "COM5=socket://booth-7.example:4001\r\n");
        // The user's own trace file gets every line as well.
        ownTrace = sim->dir() + "/own-trace.log";
        ::setenv("Q7M_TRACE", ownTrace.c_str(), 1);
        session.setTraceLines(50);
        QVERIFY(session.begin(paths().dataDir, "zelkvelq-test"));
        QVERIFY(s.start(paths()));  // loads the library: its trace goes through the session
        QVERIFY(s.ed().vals.OnLine);
    }
    void cleanupTestCase() {
        s.stop();
        session.end();
        sim.reset();
    }

    // The session's trace holds the last lines in two files of at most 50
    // (5000 in the editor); the user's own file has them all.
    void theSessionTraceIsBoundedAndRotated() {
        const std::string trace = sessionTracePath(paths().dataDir, Which::Current);
        QVERIFY(s.choose({"mnuFile", "mnuRef"}));  // Update: more traffic
        QTRY_VERIFY(countLines(q7mtest::readFile(ownTrace)) > 120);
        QTRY_COMPARE(lastLines(q7mtest::readFile(ownTrace), 1), lastLines(q7mtest::readFile(trace), 1));
        QVERIFY(countLines(q7mtest::readFile(trace)) <= 50);
        QCOMPARE(countLines(q7mtest::readFile(trace + ".1")), 50);
        const std::string kept = q7mtest::readFile(trace + ".1") + q7mtest::readFile(trace);
        QCOMPARE(lastLines(q7mtest::readFile(ownTrace), countLines(kept)), kept);
        QVERIFY(kept.find(" TX ") != std::string::npos);
    }

    void supportBundleListsItsFilesAndLeavesTheaterTextsOut() {
        // An as-found file of a named theater in the archive.
        ConfigData d;
        d.TheaterInfo[1] = "Rialto Cinema";
        d.TheaterInfo[2] = "12 Harbour Street";
        QVERIFY(keepAsFound(asFoundDirectory(paths().dataDir), d, LocalTime{2026, 12, 1, 2, 10, 0, 0}, 500));
        // The histories of the booth's unit and of one the port table no
        // longer holds: their hosts go as the port table's do.
        HistoryRecord r;
        r.time = "2026-12-01 02:10:00";
        r.program = "ZELKVELQ";
        r.action = "upload";
        r.result = kResultVerified;
        for (const auto& [port, target] : {std::pair{5, "socket://booth-7.example:4001"},
                                           std::pair{6, "socket://old-booth.example:4001"}}) {
            r.port = "COM" + std::to_string(port);
            r.target = target;
            QCOMPARE(appendHistory(historyPath(paths().dataDir, port, target), r), std::string());
        }

        auto* dialog = s.child<QDialog>(&s.win(), "frmSupport");
        const std::string left = sim->dir() + "/support.tar.gz";
        s.files.paths.push_back(left);
        QVERIFY(s.choose({"mnuHelp", "mnuSupport"}));
        QTRY_VERIFY(dialog->isVisible());
        // It says what goes in.
        const QString says = s.child<QLabel>(dialog, "lblContents")->text();
        QVERIFY2(says.contains("port table") && says.contains("as-found") && says.contains("line trace") &&
                     says.contains("left out"),
                 qPrintable(says));
        QVERIFY(!s.child<QCheckBox>(dialog, "chkTheater")->isChecked());
        QVERIFY(dialog->grab().save(QString(GUI_ARTEFACT_DIR) + "/dialog-support.png"));
        s.click(s.child<QPushButton>(dialog, "cmdSave"));
        QTRY_VERIFY(!dialog->isVisible());
        QVERIFY(s.win().statusBar()->currentMessage().startsWith("Support bundle saved: "));

        const auto files = readArchive(left);
        QStringList names;
        for (const auto& [name, content] : files) names << QString::fromStdString(name);
        qInfo().noquote() << "support bundle:" << names.join(", ");
        for (const char* name : {"README.txt", "versions.txt", "ZelkSerial.ini", "as-found/as-found-1.zcf",
                                 "as-found/as-found-2.zcf", "trace/latest-session.log"})
            QVERIFY2(files.count(name), name);
        // settings.dat is written when the editor closes: the README says it was missing.
        QVERIFY(files.at("README.txt").find("settings.dat: not found") != std::string::npos);
        QVERIFY(files.at("versions.txt").find("Unit: CPU Version: 1.06") != std::string::npos);
        QVERIFY(files.at("versions.txt").find("Link library: /") != std::string::npos);
        QVERIFY(files.at("trace/latest-session.log").find(" RX ") != std::string::npos);
        for (const char* secret : {"Rialto", "Harbour", "booth-7.example", "old-booth"}) {
            QVERIFY2(filesHolding(files, secret).empty(), secret);
            QVERIFY2(!names.join(" ").contains(secret), secret);
        }
        QVERIFY2(names.filter("history/COM5").size() == 1 && names.filter("history/COM6").size() == 1,
                 qPrintable(names.join(", ")));
        HistoryRecord back6;
        const std::string history6 = files.at(names.filter("history/COM6").first().toStdString());
        QVERIFY(parseHistoryLine(history6.substr(0, history6.find('\n')), back6));
        QCOMPARE(back6.target, std::string("socket://host-2:4001"));
        QVERIFY(files.at("ZelkSerial.ini").find("COM5=socket://host-1:4001") != std::string::npos);
        ConfigData back;
        QCOMPARE(int(parseConfigText(files.at("as-found/as-found-2.zcf"), back)), int(ReadResult::Ok));

        // Asked for, they go in.
        const std::string with = sim->dir() + "/support-with-theater.tar.gz";
        s.files.paths.push_back(with);
        QVERIFY(s.choose({"mnuHelp", "mnuSupport"}));
        QTRY_VERIFY(dialog->isVisible());
        s.click(s.child<QCheckBox>(dialog, "chkTheater"));
        s.click(s.child<QPushButton>(dialog, "cmdSave"));
        QTRY_VERIFY(!dialog->isVisible());
        const auto all = readArchive(with);
        QVERIFY(!filesHolding(all, "Rialto Cinema").empty());
        QVERIFY(all.at("ZelkSerial.ini").find("booth-7.example") != std::string::npos);
        QVERIFY(!filesHolding(all, "old-booth.example").empty());
    }

    // q7mctl writes the same archive.
    void q7mctlWritesTheSameBundle() {
        const std::string path = sim->dir() + "/from-q7mctl.tar.gz";
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELKVELQ_DATA_DIR", QString::fromStdString(paths().dataDir));
        env.insert("Q7M_CONFIG_DIR", QString::fromStdString(sim->dir()));
        p.setProcessEnvironment(env);
        p.start(Q7MCTL_PATH, {"support", QString::fromStdString(path)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const auto files = readArchive(path);
        QVERIFY(files.count("trace/latest-session.log"));
        QVERIFY(files.at("versions.txt").find("Program: q7mctl") != std::string::npos);
        QVERIFY(filesHolding(files, "Rialto").empty());
        p.start(Q7MCTL_PATH, {"support", QString::fromStdString(sim->dir() + "/x.zip")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
    }

    // Killed (as by a power cut) or stopped by a fatal signal: the next
    // start says so once, with the crash note when there is one, and
    // offers the bundle.
    void anUncleanEndIsToldOnceAtTheNextStart() {
        q7mtest::TempDir folder;
        const std::string data = paths().dataDir + "-other";
        struct Case {
            int signal;
            const char* told;
        };
        for (const Case c : {Case{SIGKILL, "did not end cleanly"}, Case{SIGSEGV, "stopped by signal 11 (SIGSEGV"}}) {
            auto editor = runEditor(data, folder.path());
            QTRY_VERIFY_WITH_TIMEOUT(markerSays(data, "running") &&
                                         q7mtest::readFile(sessionMarkerPath(data, Which::Current))
                                                 .find("pid=" + std::to_string(editor->processId())) != std::string::npos,
                                     15000);
            ::kill(static_cast<pid_t>(editor->processId()), c.signal);
            QVERIFY(editor->waitForFinished(10000));
            QVERIFY(markerSays(data, "running"));  // left behind

            Session next;
            QVERIFY(next.begin(data, "zelkvelq-test"));
            QVERIFY(next.previous().endedUncleanly);
            QCOMPARE(next.previous().crashNote.empty(), c.signal == SIGKILL);
            if (c.signal == SIGSEGV) QVERIFY(next.previous().crashNote.find("backtrace:") != std::string::npos);

            // Said once, with Yes opening the bundle's dialog.
            s.boxes.shown.clear();
            s.boxes.answers = {MsgResult::Yes};
            s.app->support()->offerAfterUncleanEnd(next.previous());
            QCOMPARE(int(s.boxes.shown.size()), 1);
            QVERIFY2(s.boxes.shown[0].find(c.told) != std::string::npos, s.boxes.shown[0].c_str());
            auto* dialog = s.child<QDialog>(&s.win(), "frmSupport");
            QTRY_VERIFY(dialog->isVisible());
            s.click(s.child<QPushButton>(dialog, "cmdCancel"));
            QTRY_VERIFY(!dialog->isVisible());
            next.end();
            Session after;
            QVERIFY(after.begin(data, "zelkvelq-test"));
            QVERIFY(!after.previous().endedUncleanly);  // a clean end is not told of
        }
    }

    // In the window: the start after an unclean end tells of it once
    // start-up is over.
    void theWindowTellsOfItAfterStartUp() {
        s.stop();
        PreviousSession killed;
        killed.endedUncleanly = true;
        killed.started = "2026-12-08 14:30:12";
        s.boxes.shown.clear();
        s.lib.load(q7mtest::libraryPath());
        s.app = std::make_unique<EditorApp>(s.lib.api(), paths(), &s.boxes, &s.files);
        s.app->setPreviousSession(killed);
        s.app->start();
        QTRY_VERIFY_WITH_TIMEOUT(s.boxes.shown.size() == 1, 15000);
        QVERIFY(s.boxes.shown[0].find("Unexpected End: The editor did not end cleanly the last time it ran (started "
                                      "2026-12-08 14:30:12)") == 0);
        QVERIFY(s.ed().vals.OnLine);  // after start-up had connected
    }
};

QTEST_MAIN(GuiSupportTest)
#include "test_gui_support.moc"
