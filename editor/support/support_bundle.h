// support_bundle.h - the one archive a technician hands the support desk:
// versions, the port table, the editor's settings, the last as-found files
// and the line trace of this and the previous session (with their crash
// notes).  Theater texts and host names are left out unless asked for.
// The editor (Help > Save Support Bundle...) and q7mctl (support) write the
// same archive.
#ifndef ZELK_SUPPORT_SUPPORT_BUNDLE_H
#define ZELK_SUPPORT_SUPPORT_BUNDLE_H

#include <string>
#include <utility>
#include <vector>

#include "form/services.h"
#include "form/translate.h"

namespace zelk {

inline constexpr int kBundleAsFoundFiles = 5;  // the newest of the archive

struct BundleSources {
    std::string dataDir;    // the editor's data folder
    std::string configDir;  // the folder of ZelkSerial.ini
    // "Program" -> "zelkvelq 1.0.0", "Link library", "Qt", "Operating system", "Unit"...
    std::vector<std::pair<std::string, std::string>> versions;
    bool includeTheater = false;  // theater texts and host names
    std::string writtenBy;        // the program writing it
    LocalTime when;
};

struct BundleEntry {
    std::string name;  // inside the archive's folder
    std::string content;
};

// What goes into the archive, one line each (the dialog and q7mctl's usage
// show it; the archive's README says it in English).
std::vector<std::string> bundleContents(Words words = kEnglish);
// "zelkvelq-support-2026-12-08_143012.tar.gz"
std::string bundleFileName(const LocalTime& when);
// The archive's files, theater texts and host names taken out unless
// `includeTheater`.
std::vector<BundleEntry> collectBundle(const BundleSources& sources);

// The hosts the [Ports] table of a ZelkSerial.ini names (socket://,
// rfc2217://), and a text with each of them written as "host-1", "host-2"...
std::vector<std::string> portTableHosts(const std::string& iniText);
std::string withoutHosts(std::string text, const std::vector<std::string>& hosts);

// Writes the entries as a gzip-compressed tar archive (libarchive), under
// one folder named after the file; written beside `path` and renamed into
// place, so a failure leaves no half archive.  "" or why it failed.
std::string writeBundle(const std::string& path, const std::vector<BundleEntry>& entries);

}  // namespace zelk

#endif
