// A save killed at any moment leaves the old ".zcf" file as it was or the
// new one complete: never a mix, never an empty file.
//
// A child process saves a configuration over an existing file while this
// process traces its system calls; the child is killed (SIGKILL, as by a
// power cut to the process or the OOM killer) on entry to, or on return
// from, each call that touches the file - one run per point - and the file
// is checked after each.  The child's writes are cut to 97 bytes, so the
// data goes out in many write calls and the kills land between them too.
#include <gtest/gtest.h>

#include <iostream>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <set>
#include <string>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "files/config_file.h"
#include "sim_process.h"

using namespace zelk;

#if defined(__x86_64__)

namespace {

long syscallNumber(const user_regs_struct& r) { return static_cast<long>(r.orig_rax); }
void shortenWrite(user_regs_struct& r, unsigned long most) {
    if (r.rdx > most) r.rdx = most;
}

// The calls of a save that touch the file or its folder.
const std::set<long>& fileCalls() {
    static const std::set<long> calls = {
#ifdef SYS_open
        SYS_open,
#endif
#ifdef SYS_rename
        SYS_rename,
#endif
        SYS_openat,  SYS_write,    SYS_pwrite64, SYS_fsync, SYS_fdatasync, SYS_close,
        SYS_fchmod,  SYS_renameat, SYS_renameat2, SYS_unlink, SYS_unlinkat, SYS_ftruncate};
    return calls;
}

ConfigData configuration(std::uint8_t seed, const std::string& name) {
    ConfigData d;
    for (std::size_t i = 0; i < d.systemBlock.bytes.size(); ++i) d.systemBlock.bytes[i] = static_cast<std::uint8_t>(seed + i);
    for (std::size_t i = 0; i < d.audioBlock.bytes.size(); ++i) d.audioBlock.bytes[i] = static_cast<std::uint8_t>(std::size_t{seed} * 3 + i);
    d.CurrentFormat = seed % 6;
    d.CurrentVolume = 40 + seed % 50;
    d.TheaterInfo[0] = name;
    return d;
}

struct Outcome {
    bool killed = false;      // false: the save ran to its end
    bool saveOk = false;      // the child's WriteConfigFile result, when not killed
    bool afterRename = false; // killed once the rename had returned
    std::string at;           // where it was killed, for the messages
};

// Runs one save in a traced child and kills it at file-call stop number
// `killAt` (counting entries and returns from 1); 0 never kills.
Outcome saveAndKillAt(const std::string& path, const ConfigData& data, int killAt) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(3);
        ::raise(SIGSTOP);
        ::_exit(WriteConfigFile(path, data) ? 0 : 1);
    }
    Outcome out;
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) {
        ADD_FAILURE() << "the saving child did not start";
        return out;
    }
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int stops = 0;
    bool entering = true;
    long call = -1;
    int deliver = 0;
    while (true) {
        // ptrace takes the signal to deliver in its data argument.
        void* signal = reinterpret_cast<void*>(static_cast<long>(deliver));  // NOLINT(performance-no-int-to-ptr)
        if (::ptrace(PTRACE_SYSCALL, pid, nullptr, signal) != 0) break;
        deliver = 0;
        if (::waitpid(pid, &status, 0) != pid) break;
        if (WIFEXITED(status)) {
            out.saveOk = WEXITSTATUS(status) == 0;
            return out;
        }
        if (WIFSIGNALED(status)) break;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {  // a signal for the child: pass it on
            deliver = WSTOPSIG(status);
            continue;
        }
        if (entering) {
            user_regs_struct regs{};
            ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            call = syscallNumber(regs);
            if (call == SYS_write) {
                shortenWrite(regs, 97);
                ::ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
            }
        }
        if (!entering && (call == SYS_renameat || call == SYS_renameat2
#ifdef SYS_rename
                          || call == SYS_rename
#endif
                          ))
            out.afterRename = true;
        const bool counted = fileCalls().count(call) > 0;
        if (counted && ++stops == killAt) {
            out.killed = true;
            out.at = std::string(entering ? "entering" : "returning from") + " system call " + std::to_string(call) +
                     " (file call stop " + std::to_string(stops) + ")";
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return out;
        }
        entering = !entering;
    }
    ADD_FAILURE() << "lost track of the saving child";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return out;
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

}  // namespace

TEST(KillDuringSave, TheOldFileOrTheWholeNewOneIsThereAfterAKillAtAnyPoint) {
    {  // Can this process trace a child at all (a container may forbid it)?
        const pid_t probe = ::fork();
        if (probe == 0) ::_exit(::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0 ? 0 : 3);
        int st = 0;
        ::waitpid(probe, &st, 0);
        if (!WIFEXITED(st) || WEXITSTATUS(st) != 0)
            GTEST_SKIP() << "ptrace is not permitted here (" << std::strerror(EPERM)
                         << "): the save cannot be stopped at chosen points";
    }
    q7mtest::TempDir dir;
    const std::string path = dir.file("theatre.zcf");
    const ConfigData oldData = configuration(7, "Old screen"), newData = configuration(99, "New screen");
    const std::string oldText = configFileText(oldData), newText = configFileText(newData);
    ASSERT_NE(oldText, newText);

    int oldSeen = 0, newSeen = 0, points = 0;
    for (int killAt = 1;; ++killAt) {
        q7mtest::writeFile(path, oldText);
        const Outcome o = saveAndKillAt(path, newData, killAt);
        const std::string now = q7mtest::readFile(path);
        if (!o.killed) {  // the save ran past the last point
            EXPECT_TRUE(o.saveOk);
            EXPECT_EQ(now, newText) << "a save that completed";
            break;
        }
        ++points;
        ASSERT_FALSE(now.empty()) << "empty file after a kill " << o.at;
        ASSERT_TRUE(now == oldText || now == newText)
            << "neither the old file nor the new one after a kill " << o.at << ": " << now.size() << " bytes";
        if (o.afterRename) EXPECT_EQ(now, newText) << "the rename had returned: " << o.at;
        else EXPECT_EQ(now, oldText) << "the old file changed before the rename: " << o.at;
        (now == oldText ? oldSeen : newSeen) += 1;
        ASSERT_LT(killAt, 10000) << "the save never ends";
    }
    // The data went out in many writes, and the kills fell on both sides of the rename.
    EXPECT_GT(points, 2 * static_cast<int>(newText.size() / 97));
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
    // What a killed save leaves behind besides the file: its temporary files
    // (they never replace the target, and a later save does not trip on them).
    const auto left = filesIn(dir.path());
    std::cout << "[          ] " << points << " kill points; the old file after " << oldSeen << ", the new one after "
              << newSeen << "; " << left.size() - 1 << " temporary files left behind by killed saves\n";
    ASSERT_TRUE(WriteConfigFile(path, oldData));
    EXPECT_EQ(q7mtest::readFile(path), oldText);
}

#else

TEST(KillDuringSave, TheOldFileOrTheWholeNewOneIsThereAfterAKillAtAnyPoint) {
    GTEST_SKIP() << "the system-call tracing of this test is written for x86-64 only";
}

#endif
