// The support bundle as a gzip-compressed tar archive, written by libarchive.
#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "support/support_bundle.h"

namespace zelk {

std::string writeBundle(const std::string& path, const std::vector<BundleEntry>& entries) {
    // The folder inside is the file's own name without .tar.gz.
    std::string folder = path.substr(path.find_last_of("/\\") + 1);
    for (const char* end : {".tar.gz", ".tgz"}) {
        const std::string e = end;
        if (folder.size() > e.size() && folder.compare(folder.size() - e.size(), e.size(), e) == 0)
            folder.resize(folder.size() - e.size());
    }
    const std::string part = path + ".part";
    std::unique_ptr<archive, decltype(&archive_write_free)> a(archive_write_new(), archive_write_free);
    if (!a) return "libarchive could not start";
    auto failed = [&](const char* what) {
        const char* why = archive_error_string(a.get());
        std::string text = std::string(what) + (why ? std::string(": ") + why : std::string());
        a.reset();
        std::remove(part.c_str());
        return text;
    };
    if (archive_write_add_filter_gzip(a.get()) != ARCHIVE_OK || archive_write_set_format_pax_restricted(a.get()) != ARCHIVE_OK)
        return failed("the archive format is not available");
    if (archive_write_open_filename(a.get(), part.c_str()) != ARCHIVE_OK) return failed("cannot create the file");
    const std::time_t now = std::time(nullptr);
    for (const BundleEntry& e : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(entry.get(), (folder + "/" + e.name).c_str());
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(e.content.size()));
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_mtime(entry.get(), now, 0);
        if (archive_write_header(a.get(), entry.get()) != ARCHIVE_OK) return failed("cannot write into the archive");
        if (!e.content.empty() &&
            archive_write_data(a.get(), e.content.data(), e.content.size()) != static_cast<la_ssize_t>(e.content.size()))
            return failed("cannot write into the archive");
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK) return failed("cannot finish the archive");
    a.reset();
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        return "cannot put the archive in place";
    }
    return {};
}

}  // namespace zelk
