// The one way files are written: the new content replaces the old file whole or
// not at all, permissions and symbolic links survive, no temporary file stays.
// Faults are made real: a file-size limit, a full or inode-less file system, an
// unprivileged user, immutable files and folders.
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "FileFaults.h"
#include "TestSupport.h"
#include "output/SafeWrite.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::GiveToUnprivileged;
using test::Immutable;
using test::kNobody;
using test::NamesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;


mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

std::string Bytes(size_t n, char c) { return std::string(n, c); }

// Runs `body` in a child process; it returns "" when everything held, a text
// starting with "skip: " when this machine cannot run the case, or what went wrong.
std::string InChild(const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        const std::string report = body();
        const ssize_t ignored = ::write(pipeEnds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) report.append(buffer, size_t(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return "the child ended by signal " + std::to_string(WTERMSIG(status));
    return report;
}

// Ends the test with the child's report: passed, skipped or failed.
#define EXPECT_CHILD_PASSES(report)                                                   \
    do {                                                                              \
        const std::string report_ = (report);                                         \
        if (report_.rfind("skip: ", 0) == 0) GTEST_SKIP() << report_.substr(6);       \
        EXPECT_EQ(report_, "");                                                       \
    } while (0)

// In a child: from now on act as an ordinary user (nobody when started as root)
// who can reach `folder`. Returns what stands in the way, as a reason to skip.
std::string BecomeUnprivilegedIn(const std::string& folder) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0))
        return "skip: cannot switch to an unprivileged user";
    if (::access(folder.c_str(), X_OK) != 0) return "skip: the unprivileged user cannot reach " + folder;
    return "";
}

// In a child: a private mount of a small tmpfs over `folder`, gone with the child.
std::string MountTinyFileSystem(const std::string& folder, const std::string& options) {
    if (::unshare(CLONE_NEWNS) != 0) return std::string("skip: no private mount namespace: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("skip: mounts cannot be made private: ") + std::strerror(errno);
    if (::mount("vandrel-test", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("skip: no tmpfs can be mounted: ") + std::strerror(errno);
    return "";
}

// Fills the file system holding `path` with it, then gives back `spare` bytes.
std::string FillUpWith(const std::string& path, off_t spare) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return "cannot create the filler";
    const std::string block(4096, 'f');
    off_t size = 0;
    ssize_t written;
    while ((written = ::write(fd, block.data(), block.size())) > 0) size += written;
    const bool full = written < 0 && errno == ENOSPC;
    const bool trimmed = ::ftruncate(fd, size > spare ? size - spare : 0) == 0;
    ::close(fd);
    return full && trimmed ? "" : "the file system did not fill up";
}

std::string ExpectFile(const std::string& path, const std::string& bytes) {
    std::string got;
    try {
        got = ReadFile(path);
    } catch (const std::exception&) {
        return path + " cannot be read";
    }
    return got == bytes ? "" : path + " holds " + std::to_string(got.size()) + " bytes, not the expected " +
                                   std::to_string(bytes.size());
}

std::string ExpectNames(const std::string& folder, const std::set<std::string>& names) {
    if (NamesIn(folder) == names) return "";
    std::string all;
    for (const std::string& name : NamesIn(folder)) all += " " + name;
    return folder + " holds:" + all;
}

TEST(SafeWrite, CreatesANewFileWithTheUsualPermissions) {
    TempDir dir;
    const mode_t old = ::umask(027);
    const bool written = WriteFileSafely(dir / "new.txt", "new\r\n");
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(ReadFile(dir / "new.txt"), "new\r\n");
    EXPECT_EQ(ModeOf(dir / "new.txt"), mode_t(0640));
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"new.txt"});
}

TEST(SafeWrite, ReplacesTheWholeContent) {
    TempDir dir;
    WriteFile(dir / "m.txt", Bytes(10000, 'o'));
    ASSERT_TRUE(WriteFileSafely(dir / "m.txt", "short\r\n"));
    EXPECT_EQ(ReadFile(dir / "m.txt"), "short\r\n");
    ASSERT_TRUE(WriteFileSafely(dir / "m.txt", ""));
    EXPECT_EQ(ReadFile(dir / "m.txt"), "");
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, KeepsThePermissionsOfTheOldFile) {
    TempDir dir;
    for (mode_t mode : {0600, 0640, 0604, 0755, 0660}) {
        const std::string path = dir / "m.txt";
        WriteFile(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileSafely(path, "new"));
        EXPECT_EQ(ReadFile(path), "new");
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    }
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, KeepsTheOwnerOfTheOldFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can save a file that belongs to another user";
    TempDir dir;
    const std::string path = dir / "m.txt";
    WriteFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_TRUE(WriteFileSafely(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, gid_t(kNobody));
}

TEST(SafeWrite, WritesThroughSymbolicLinksAndKeepsThem) {
    TempDir dir;
    fs::create_directories(dir.path() / "models");
    fs::create_directories(dir.path() / "links");
    const std::string target = dir / "models/walk.txt";
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, dir / "links/absolute.txt");
    fs::create_symlink("../models/walk.txt", dir / "links/relative.txt");
    fs::create_symlink("relative.txt", dir / "links/chain.txt");

    for (const char* link : {"links/absolute.txt", "links/relative.txt", "links/chain.txt"}) {
        const std::string content = std::string("through ") + link;
        ASSERT_TRUE(WriteFileSafely(dir / link, content)) << link;
        EXPECT_EQ(ReadFile(target), content);
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
        EXPECT_EQ(ModeOf(target), mode_t(0640));
    }
    EXPECT_EQ(fs::read_symlink(dir / "links/absolute.txt"), fs::path(target));
    EXPECT_EQ(fs::read_symlink(dir / "links/relative.txt"), fs::path("../models/walk.txt"));
    EXPECT_EQ(fs::read_symlink(dir / "links/chain.txt"), fs::path("relative.txt"));
    EXPECT_EQ(NamesIn(dir.path() / "models"), std::set<std::string>{"walk.txt"});
    EXPECT_EQ(NamesIn(dir.path() / "links"), (std::set<std::string>{"absolute.txt", "relative.txt", "chain.txt"}));
}

TEST(SafeWrite, ALinkToAMissingFileStaysAndItsTargetIsCreated) {
    TempDir dir;
    fs::create_directories(dir.path() / "models");
    fs::create_symlink("models/new.txt", dir / "link.txt");
    ASSERT_TRUE(WriteFileSafely(dir / "link.txt", "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadFile(dir / "models/new.txt"), "new\r\n");
    EXPECT_EQ(NamesIn(dir.path() / "models"), std::set<std::string>{"new.txt"});
}

TEST(SafeWrite, ALoopOfLinksIsNotReplaced) {
    TempDir dir;
    fs::create_symlink("b.txt", dir / "a.txt");
    fs::create_symlink("a.txt", dir / "b.txt");
    EXPECT_FALSE(WriteFileSafely(dir / "a.txt", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "a.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "b.txt"));
    EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST(SafeWrite, FailsWithoutCreatingAnything) {
    TempDir dir;
    EXPECT_FALSE(WriteFileSafely(dir / "missing/m.txt", "new"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "folder.txt");
    EXPECT_FALSE(WriteFileSafely(dir / "folder.txt", "new"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.txt"));
    EXPECT_FALSE(WriteFileSafely("", "new"));
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"folder.txt"});
}

TEST(SafeWrite, AWriteStoppedByAFileSizeLimitLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir / "m.txt";
    WriteFile(path, "old content\r\n");
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "skip: no file-size limit can be set";
        if (WriteFileSafely(path, Bytes(20000, 'n'))) return "a write past the limit was reported as done";
        return "";
    }));
    EXPECT_EQ(ReadFile(path), "old content\r\n");
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, AFullDiskLeavesTheOldFile) {
    TempDir dir;
    const std::string disk = dir / "disk";
    fs::create_directory(disk);
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        std::string problem = MountTinyFileSystem(disk, "size=64k");
        if (problem.empty()) {
            WriteFile(disk + "/m.txt", "old content\r\n");
            problem = FillUpWith(disk + "/filler", 4096);
        }
        if (!problem.empty()) return problem;
        // Room for the first page of the new content, not for the rest.
        if (WriteFileSafely(disk + "/m.txt", Bytes(20000, 'n'))) return "a write to a full disk was reported as done";
        if (std::string p = ExpectFile(disk + "/m.txt", "old content\r\n"); !p.empty()) return p;
        if (std::string p = ExpectNames(disk, {"m.txt", "filler"}); !p.empty()) return p;
        // The space of the temporary file came back: a small file still fits.
        if (!WriteFileSafely(disk + "/m.txt", "new\r\n")) return "a small write after the failure failed";
        return ExpectFile(disk + "/m.txt", "new\r\n");
    }));
}

TEST(SafeWrite, AFolderWithoutFreeInodesLeavesTheOldFile) {
    // No temporary file can be made because the file system has no inode left,
    // not because the folder forbids it: the old file must not be overwritten in
    // place, since the new content does not fit either.
    TempDir dir;
    const std::string disk = dir / "disk";
    fs::create_directory(disk);
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        std::string problem = MountTinyFileSystem(disk, "size=64k,nr_inodes=3");
        if (problem.empty()) {
            WriteFile(disk + "/m.txt", "old content\r\n");
            problem = FillUpWith(disk + "/filler", 0);
        }
        if (!problem.empty()) return problem;
        if (WriteFileSafely(disk + "/m.txt", Bytes(20000, 'n'))) return "a write without room was reported as done";
        if (std::string p = ExpectFile(disk + "/m.txt", "old content\r\n"); !p.empty()) return p;
        return ExpectNames(disk, {"m.txt", "filler"});
    }));
}

TEST(SafeWrite, AWriteProtectedFileIsNeverReplaced) {
    // The folder is writable, so renaming over the file would succeed: it must not happen.
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);  // reachable for an unprivileged user whatever the umask
    const std::string folder = dir / "models", path = folder + "/m.txt";
    fs::create_directory(folder);
    WriteFile(path, "old content\r\n");
    GiveToUnprivileged(folder);
    GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        if (std::string why = BecomeUnprivilegedIn(folder); !why.empty()) return why;
        if (WriteFileSafely(path, "new")) return "a write-protected file was replaced";
        return "";
    }));
    EXPECT_EQ(ReadFile(path), "old content\r\n");
    EXPECT_EQ(ModeOf(path), mode_t(0444));
    EXPECT_EQ(NamesIn(folder), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, AnImmutableFileIsNeverReplaced) {
    TempDir dir;
    const std::string path = dir / "m.txt";
    WriteFile(path, "old content\r\n");
    Immutable frozen(path);
    if (!frozen.IsSet()) GTEST_SKIP() << "the immutable flag cannot be set here (needs root on ext4 or similar)";
    EXPECT_FALSE(WriteFileSafely(path, "new"));
    EXPECT_EQ(ReadFile(path), "old content\r\n");
    EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"m.txt"});
}

// A folder that allows no new file, with a file in it that may be written.
struct LockedFolder {
    TempDir dir;
    std::string folder = dir / "models";
    std::string path = folder + "/m.txt";
    LockedFolder() {
        ::chmod(dir.path().c_str(), 0755);  // reachable for an unprivileged user whatever the umask
        fs::create_directory(folder);
        WriteFile(path, Bytes(6000, 'o'));
        GiveToUnprivileged(folder);
        GiveToUnprivileged(path);
        ::chmod(path.c_str(), 0640);
    }
    ~LockedFolder() { ::chmod(folder.c_str(), 0755); }
    void MakeReadOnly() { ::chmod(folder.c_str(), 0555); }
};

TEST(SafeWrite, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    LockedFolder locked;
    locked.MakeReadOnly();
    const ino_t inode = InodeOf(locked.path);
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        if (std::string why = BecomeUnprivilegedIn(locked.folder); !why.empty()) return why;
        if (!WriteFileSafely(locked.path, "new\r\n")) return "the in-place write failed";
        if (WriteFileSafely(locked.folder + "/other.txt", "new")) return "a new file was made in a read-only folder";
        return "";
    }));
    EXPECT_EQ(ReadFile(locked.path), "new\r\n");
    EXPECT_EQ(InodeOf(locked.path), inode);
    EXPECT_EQ(ModeOf(locked.path), mode_t(0640));
    EXPECT_EQ(NamesIn(locked.folder), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, AWritableFileInAnImmutableFolderIsWrittenInPlace) {
    LockedFolder locked;
    const ino_t inode = InodeOf(locked.path);
    {
        Immutable frozen(locked.folder);
        if (!frozen.IsSet()) GTEST_SKIP() << "the immutable flag cannot be set here (needs root on ext4 or similar)";
        EXPECT_TRUE(WriteFileSafely(locked.path, "new\r\n"));
        EXPECT_FALSE(WriteFileSafely(locked.folder + "/other.txt", "new"));
    }
    EXPECT_EQ(ReadFile(locked.path), "new\r\n");
    EXPECT_EQ(InodeOf(locked.path), inode);
    EXPECT_EQ(NamesIn(locked.folder), std::set<std::string>{"m.txt"});
}

TEST(SafeWrite, AnInPlaceWriteThatFailsIsReported) {
    LockedFolder locked;
    locked.MakeReadOnly();
    EXPECT_CHILD_PASSES(InChild([&]() -> std::string {
        if (std::string why = BecomeUnprivilegedIn(locked.folder); !why.empty()) return why;
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "skip: no file-size limit can be set";
        if (WriteFileSafely(locked.path, Bytes(20000, 'n'))) return "a failed in-place write was reported as done";
        return "";
    }));
    EXPECT_EQ(NamesIn(locked.folder), std::set<std::string>{"m.txt"});
}

}  // namespace
}  // namespace vandrel
