#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"

namespace {
using q7m::platform::writeFileAtomically;

std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Folder {
    std::string path;
    Folder() {
        char tmpl[] = "/tmp/q7mfiles.XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~Folder() { [[maybe_unused]] int r = std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const std::string& n) const { return path + "/" + n; }
    int entries() const {
        return std::system(("exit $(ls -A '" + path + "' | wc -l)").c_str()) >> 8;
    }
};
}  // namespace

TEST(AtomicSave, ReplacesTheFileOrLeavesItAsItWas) {
    Folder d;
    const std::string target = d.file("a.zcf");
    ASSERT_TRUE(writeFileAtomically(target, "first"));
    ASSERT_TRUE(writeFileAtomically(target, "second, longer"));  // over an existing file
    EXPECT_EQ(slurp(target), "second, longer");

    // The rename cannot happen (a folder holds the name): refused with a
    // reason, nothing else touched, no temporary file left.
    ::mkdir(d.file("dir.zcf").c_str(), 0755);
    const auto r = writeFileAtomically(d.file("dir.zcf"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(slurp(target), "second, longer");
    EXPECT_EQ(d.entries(), 2);

    const auto missing = writeFileAtomically(d.file("none/x.zcf"), "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;
}

TEST(AtomicSave, APlantedLinkDoesNotRedirectTheWriteAndModeIsKept) {
    Folder d;
    const std::string victim = d.file("victim");
    std::ofstream(victim) << "precious";
    const std::string target = d.file("b.zcf");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    // Links at the names an older version used for its temporary file.
    ASSERT_EQ(::symlink(victim.c_str(), (target + ".saving").c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), (target + ".tmp").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(target, "new"));
    EXPECT_EQ(slurp(victim), "precious");
    EXPECT_EQ(slurp(target), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(target.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(Folders, MakeDirectoriesCreatesParentsAndRefusesAFile) {
    Folder d;
    EXPECT_TRUE(q7m::platform::makeDirectories(d.file("x/y/z")));
    EXPECT_TRUE(q7m::platform::makeDirectories(d.file("x/y/z")));
    std::ofstream(d.file("plain")) << "";
    EXPECT_FALSE(q7m::platform::makeDirectories(d.file("plain/sub")));
    EXPECT_EQ(q7m::platform::parentDirectory("/a/b.zcf"), "/a");
    EXPECT_EQ(q7m::platform::parentDirectory("/b.zcf"), "/");
    EXPECT_EQ(q7m::platform::parentDirectory("b.zcf"), "");
}
