// ZELKVELQ - ZELK Cinema Processor and EQ Software.
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "connection/link_api.h"
#include "ui/app.h"
#include "ui/shutdown_signals.h"
#include "ui/translations.h"

namespace {
// At exit, how long the link thread may take to finish its calls (the
// unit's last commands, the library's shut-down).
constexpr int kLinkFinishMs = 1500;

void usage(std::FILE* out) {
    std::fprintf(out,
        "usage: zelkvelq [--library PATH] [--check-library] [Qt options such as -platform NAME]\n"
        "  ZELK Cinema Processor and EQ Software: configures and aligns a Q7M cinema\n"
        "  processor over a serial line.\n\n"
        "  --library PATH  the unit link library to load (default: libq7mslib.so beside the\n"
        "                  program, or $ZELK_Q7MSLIB)\n"
        "  --check-library load the unit link library, say whether it works, and exit\n"
        "  --help          this text\n"
        "  --version       the program's version\n\n"
        "  The serial port is chosen in Options > COM Port Selection; COMn is the device\n"
        "  that the [Ports] table of ZelkSerial.ini maps it to (see the README).\n");
}

// A command-line mistake: say what was wrong, show the usage, exit 2.
int badArguments(const std::string& what) {
    std::fprintf(stderr, "zelkvelq: %s\n\n", what.c_str());
    usage(stderr);
    return 2;
}
}  // namespace

namespace {
// Qt's command-line options that take a value.
bool takesValue(const std::string& opt) {
    static const char* const withValue[] = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                            "-qwindowgeometry", "-geometry", "-qwindowtitle", "-title",
                                            "-qwindowicon", "-icon", "-style", "-stylesheet", "-session",
                                            "-display", "-name"};
    for (const char* o : withValue)
        if (opt == o) return true;
    return false;
}

// Qt ends the program without a word when it finds no display; say why
// first, and what to do.
bool displayAvailable() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}
}  // namespace

int main(int argc, char** argv) {
    std::string libraryPath;
    bool checkOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check-library") {
            checkOnly = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("zelkvelq %s\n", ZELKVELQ_VERSION);
            return 0;
        }
        if (arg == "--library") {
            if (i + 1 >= argc) return badArguments("--library needs the path of the library");
            libraryPath = argv[++i];
            continue;
        }
        if (arg.rfind("--library=", 0) == 0) {
            libraryPath = arg.substr(10);
            continue;
        }
        // Qt's own options have one dash ("-platform offscreen"); Qt takes
        // them, and their values, when the application starts.
        if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            if (i + 1 < argc && argv[i + 1][0] != '-' && takesValue(arg)) ++i;
            continue;
        }
        return badArguments("unknown argument '" + arg + "'");
    }
    if (checkOnly) {
        // No window needed: Qt's core finds the program's folder on every
        // platform.
        QCoreApplication core(argc, argv);
        const std::string dir = QCoreApplication::applicationDirPath().toStdString();
        if (libraryPath.empty()) libraryPath = zelk::LinkLibrary::defaultPath(dir);
        zelk::LinkLibrary lib;
        if (!lib.load(libraryPath)) {
            std::printf("%s\n", lib.error().c_str());
            return 1;
        }
        std::printf("The unit link library loads: %s (all 29 entry points)\n", libraryPath.c_str());
        return 0;
    }
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i) platformGiven = platformGiven || !std::strcmp(argv[i], "-platform");
    if (!platformGiven && !displayAvailable()) {
        std::fprintf(stderr,
                     "zelkvelq: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Start it from a desktop session, or over SSH with X forwarding (ssh -X).\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zelkvelq");
    QApplication::setApplicationVersion(ZELKVELQ_VERSION);
    QApplication::setDesktopFileName("zelkvelq");
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    zelk::Paths paths = zelk::Paths::fromEnvironment(programDir);
    // The window's language: the one chosen in Options > Language, else the
    // system's; English when its translation is missing.
    zelk::Translations translations;
    const QString dataDir = QString::fromStdString(paths.dataDir);
    if (!translations.load(zelk::languageFor(zelk::keptLanguage(dataDir), QLocale::system())))
        std::fprintf(stderr, "zelkvelq: %s: the window stays in English\n", qPrintable(translations.error()));
    // This session's record (line trace, crash note, the marker an unclean
    // end leaves): begun before the library loads, ended after it unloads.
    zelk::Session session;
    session.begin(paths.dataDir, std::string("zelkvelq ") + ZELKVELQ_VERSION);

    zelk::LinkLibrary library;
    if (libraryPath.empty()) libraryPath = zelk::LinkLibrary::defaultPath(programDir);
    static const zelk::LinkApi none{};
    if (!library.load(libraryPath)) {
        // Without the library the editor still works off line, on files.
        QMessageBox::critical(nullptr, QCoreApplication::translate("Main", "Unit Link Library"),
                              QString::fromStdString(library.error()) +
                                  QCoreApplication::translate("Main", "\n\nThe editor will start off line."));
    }
    zelk::EditorApp editor(library.loaded() ? library.api() : none, std::move(paths));
    editor.setPreviousSession(session.previous());
    // Logout, shutdown, kill and Ctrl+C end the editor in order.
    zelk::ShutdownSignals endSignals([&editor](int sig) { editor.endBySignal(sig); });
    editor.start();
    const int status = QApplication::exec() == 0 ? editor.exitStatus() : 1;
    // A call given up by a cancel may still be in the library (a network
    // open takes its full time-out): the program does not wait for it.
    if (!editor.runner().finishWithin(kLinkFinishMs)) {
        session.end();  // the editor did end cleanly
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
