#include <gtest/gtest.h>

#include <fstream>

#include "platform/files.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
using q7m::platform::writeFileAtomically;
using q7mtest::slurp;
using Folder = q7mtest::TempFolder;
}  // namespace

TEST(AtomicSave, ReplacesTheFileOrLeavesItAsItWas) {
    Folder d;
    const std::string target = d.file("a.zcf");
    ASSERT_TRUE(writeFileAtomically(target, "first"));
    // Over an existing file, twice (on Windows a plain rename refuses an
    // existing target, and an old save silently kept the old file).
    ASSERT_TRUE(writeFileAtomically(target, "second, longer"));
    EXPECT_EQ(slurp(target), "second, longer");
    ASSERT_TRUE(writeFileAtomically(target, "third"));
    EXPECT_EQ(slurp(target), "third");
    EXPECT_EQ(d.entries(), 1) << "no temporary file left beside it";

    // The rename cannot happen (a folder holds the name): refused with a
    // reason, nothing else touched, no temporary file left.
    ASSERT_TRUE(q7m::platform::makeDirectories(d.file("dir.zcf")));
    const auto r = writeFileAtomically(d.file("dir.zcf"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(slurp(target), "third");
    EXPECT_EQ(d.entries(), 2);

    const auto missing = writeFileAtomically(d.file("none/x.zcf"), "x");
    EXPECT_FALSE(missing.ok);
#ifdef _WIN32
    EXPECT_NE(missing.error.find("ath"), std::string::npos) << missing.error;  // "The system cannot find the path specified"
#else
    EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;
#endif
}

TEST(AtomicSave, AReaderHoldingTheFileNeverCostsIt) {
    // A viewer that has the file open while it is saved: on Linux the save
    // goes through; on Windows the system may refuse to replace a file open
    // without delete sharing, and then the save says so and the old file
    // stays whole, with no temporary file left.
    Folder d;
    const std::string target = d.file("b.zcf");
    ASSERT_TRUE(writeFileAtomically(target, "old"));
    std::ifstream reader(target, std::ios::binary);
    ASSERT_TRUE(reader.good());
    const auto r = writeFileAtomically(target, "new");
#ifdef _WIN32
    if (!r.ok) {
        EXPECT_FALSE(r.error.empty());
        reader.close();
        EXPECT_EQ(slurp(target), "old");
        EXPECT_EQ(d.entries(), 1);
        return;
    }
#endif
    ASSERT_TRUE(r.ok) << r.error;
    reader.close();
    EXPECT_EQ(slurp(target), "new");
}

#ifndef _WIN32

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

#endif

TEST(Folders, MakeDirectoriesCreatesParentsAndRefusesAFile) {
    Folder d;
    EXPECT_TRUE(q7m::platform::makeDirectories(d.file("x/y/z")));
    EXPECT_TRUE(q7m::platform::makeDirectories(d.file("x/y/z")));
    std::ofstream(d.file("plain")) << "";
    EXPECT_FALSE(q7m::platform::makeDirectories(d.file("plain/sub")));
    EXPECT_EQ(q7m::platform::parentDirectory("/a/b.zcf"), "/a");
    EXPECT_EQ(q7m::platform::parentDirectory("/b.zcf"), "/");
    EXPECT_EQ(q7m::platform::parentDirectory("b.zcf"), "");
#ifdef _WIN32
    EXPECT_EQ(q7m::platform::parentDirectory("C:\\x\\b.zcf"), "C:\\x");
    EXPECT_EQ(q7m::platform::parentDirectory("C:\\b.zcf"), "C:\\");
    EXPECT_EQ(q7m::platform::parentDirectory("C:b.zcf"), "C:");
    EXPECT_EQ(q7m::platform::joinPath("C:\\x", "y"), "C:\\x\\y");
    EXPECT_EQ(q7m::platform::joinPath("C:\\", "y"), "C:\\y");
#endif
}

TEST(Files, KindsAndSmallFiles) {
    Folder d;
    using q7m::platform::PathKind;
    using Status = q7m::platform::SmallFile::Status;
    std::ofstream(d.file("small"), std::ios::binary) << "abc";
    std::ofstream(d.file("big"), std::ios::binary) << std::string(2000, 'x');
    EXPECT_EQ(q7m::platform::pathKind(d.file("small")), PathKind::File);
    EXPECT_EQ(q7m::platform::pathKind(d.path), PathKind::Folder);
    EXPECT_EQ(q7m::platform::pathKind(d.file("none")), PathKind::Missing);
    EXPECT_TRUE(q7m::platform::folderWritable(d.path));
    EXPECT_EQ(d.entries(), 2) << "the write test leaves nothing behind";

    const auto small = q7m::platform::readSmallFile(d.file("small"), 1000);
    EXPECT_EQ(small.status, Status::Ok);
    EXPECT_EQ(small.bytes, "abc");
    const auto big = q7m::platform::readSmallFile(d.file("big"), 1000);
    EXPECT_EQ(big.status, Status::TooLarge);
    EXPECT_EQ(big.size, 2000);
    EXPECT_EQ(q7m::platform::readSmallFile(d.file("none"), 1000).status, Status::NotFound);
    const auto folder = q7m::platform::readSmallFile(d.path, 1000);
    EXPECT_EQ(folder.status, Status::NotAFile);
    EXPECT_EQ(folder.kind, PathKind::Folder);
#ifdef _WIN32
    const auto device = q7m::platform::readSmallFile("NUL", 1000);
#else
    const auto device = q7m::platform::readSmallFile("/dev/zero", 1000);
#endif
    EXPECT_EQ(device.status, Status::NotAFile);
    EXPECT_EQ(device.kind, PathKind::Device);

    EXPECT_TRUE(q7m::platform::removeFile(d.file("small")));
    EXPECT_TRUE(q7m::platform::removeFile(d.file("small"))) << "gone already counts as removed";
    EXPECT_EQ(q7m::platform::pathKind(d.file("small")), PathKind::Missing);
}
