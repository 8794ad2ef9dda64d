// ZELKVELQ - ZELK Cinema Processor and EQ Software.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "ui/app.h"
#include "connection/link_api.h"

namespace {
void usage() {
    std::printf(
        "usage: zelkvelq [--library PATH]\n"
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
}  // namespace

int main(int argc, char** argv) {
    std::string libraryPath;
    bool checkOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--check-library")) {
            checkOnly = true;
            continue;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            usage();
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("zelkvelq %s\n", ZELKVELQ_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--library") && i + 1 < argc) {
            libraryPath = argv[++i];
            continue;
        }
    }
    if (checkOnly) {
        // No window needed: find the program's folder from /proc.
        char exe[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        std::string dir = n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : std::string(".");
        dir = dir.substr(0, dir.find_last_of('/'));
        if (libraryPath.empty()) libraryPath = zelk::LinkLibrary::defaultPath(dir);
        zelk::LinkLibrary lib;
        if (!lib.load(libraryPath)) {
            std::printf("%s\n", lib.error().c_str());
            return 1;
        }
        std::printf("The unit link library loads: %s (all 29 entry points)\n", libraryPath.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zelkvelq");
    QApplication::setApplicationVersion(ZELKVELQ_VERSION);
    QApplication::setDesktopFileName("zelkvelq");
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();

    zelk::LinkLibrary library;
    if (libraryPath.empty()) libraryPath = zelk::LinkLibrary::defaultPath(programDir);
    static const zelk::LinkApi none{};
    if (!library.load(libraryPath)) {
        // Without the library the editor still works off line, on files.
        QMessageBox::critical(nullptr, QStringLiteral("Unit Link Library"),
                              QString::fromStdString(library.error()) +
                                  QStringLiteral("\n\nThe editor will start off line."));
    }
    zelk::EditorApp editor(library.loaded() ? library.api() : none, zelk::Paths::fromEnvironment(programDir));
    editor.start();
    return QApplication::exec();
}
