// The one way files are written: the new content replaces the old file whole or
// not at all, permissions, owner and symbolic links survive, no temporary file
// stays. The faults are real: a file-size limit, a full or inode-less tmpfs, an
// unprivileged user, immutable files and folders; what this machine cannot set
// up is skipped.
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "TestSupport.h"
#include "output/SafeWrite.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::NamesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Names = std::set<std::string>;

constexpr uid_t kNobody = 65534;
const std::string kOld = "old content\r\n";
const std::string kLong(20000, 'n');

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Sets the immutable flag of a file or folder for the life of the object.
class Immutable {
public:
    explicit Immutable(const std::string& path) : path_(path) { set_ = Change(true); }
    ~Immutable() {
        if (set_) Change(false);
    }
    bool IsSet() const { return set_; }

private:
    bool Change(bool on) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) ::close(fd);
        return ok;
    }
    std::string path_;
    bool set_ = false;
};

#define SKIP_UNLESS_IMMUTABLE(guard) \
    if (!(guard).IsSet()) GTEST_SKIP() << "the immutable flag cannot be set here (needs root on ext4 or similar)"

// Runs `body` in a child process: it returns "" when everything held, "skip: ..."
// when this machine cannot run the case, or what went wrong.
void ExpectInChild(const std::function<std::string()>& body) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        const std::string report = body();
        const ssize_t ignored = ::write(ends[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) report.append(buffer, size_t(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) report = "the child ended by signal " + std::to_string(WTERMSIG(status));
    if (report.rfind("skip: ", 0) == 0) GTEST_SKIP() << report.substr(6);
    EXPECT_EQ(report, "");
}

// In a child: acts as an ordinary user (nobody when started as root) who can reach `folder`.
std::string BecomeUnprivilegedIn(const std::string& folder) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0))
        return "skip: cannot switch to an unprivileged user";
    return ::access(folder.c_str(), X_OK) == 0 ? "" : "skip: the unprivileged user cannot reach " + folder;
}

// In a child: limits the size of files written, a write past it failing with EFBIG.
std::string LimitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : "skip: no file-size limit can be set";
}

// In a child: a private tmpfs over `folder` holding `name` with the old content,
// filled up but for `spare` bytes.
std::string TinyFullDisk(const std::string& folder, const std::string& options, const std::string& name, off_t spare) {
    if (::unshare(CLONE_NEWNS) != 0) return std::string("skip: no private mount namespace: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "skip: mounts cannot be made private";
    if (::mount("vandrel-test", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("skip: no tmpfs can be mounted: ") + std::strerror(errno);
    WriteFile(folder + "/" + name, kOld);
    const int fd = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string block(4096, 'f');
    off_t size = 0;
    ssize_t written;
    while ((written = ::write(fd, block.data(), block.size())) > 0) size += written;
    const bool full = written < 0 && errno == ENOSPC && ::ftruncate(fd, size > spare ? size - spare : 0) == 0;
    ::close(fd);
    return full ? "" : "the file system did not fill up";
}

std::string Holds(const std::string& path, const std::string& bytes) {
    return fs::exists(path) && ReadFile(path) == bytes ? "" : path + " does not hold what it should";
}

TEST(SafeWrite, NewAndReplacedFilesHoldExactlyTheContentWithTheirPermissions) {
    TempDir dir;
    const mode_t old = ::umask(027);
    const bool created = WriteFileSafely(dir / "new.txt", "new\r\n");
    ::umask(old);
    ASSERT_TRUE(created);
    EXPECT_EQ(StatOf(dir / "new.txt").st_mode & 07777, mode_t(0640));
    WriteFile(dir / "m.txt", std::string(10000, 'o'));
    for (mode_t mode : {0600, 0604, 0755, 0660}) {
        ASSERT_EQ(::chmod((dir / "m.txt").c_str(), mode), 0);
        ASSERT_TRUE(WriteFileSafely(dir / "m.txt", "short\r\n"));
        EXPECT_EQ(ReadFile(dir / "m.txt"), "short\r\n");
        EXPECT_EQ(StatOf(dir / "m.txt").st_mode & 07777, mode) << std::oct << mode;
    }
    ASSERT_TRUE(WriteFileSafely(dir / "m.txt", ""));
    EXPECT_EQ(ReadFile(dir / "m.txt"), "");
    EXPECT_EQ(NamesIn(dir.path()), (Names{"new.txt", "m.txt"}));
    if (::geteuid() != 0) return;
    ASSERT_EQ(::chown((dir / "m.txt").c_str(), kNobody, kNobody), 0);
    ASSERT_TRUE(WriteFileSafely(dir / "m.txt", "new"));
    EXPECT_EQ(StatOf(dir / "m.txt").st_uid, kNobody) << "a file of another user keeps its owner";
}

TEST(SafeWrite, SymbolicLinksAreWrittenThroughAndStay) {
    TempDir dir;
    fs::create_directories(dir.path() / "models");
    fs::create_directories(dir.path() / "links");
    const std::string target = dir / "models/walk.txt";
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, dir / "links/absolute.txt");
    fs::create_symlink("../models/walk.txt", dir / "links/relative.txt");
    fs::create_symlink("relative.txt", dir / "links/chain.txt");
    fs::create_symlink("../models/new.txt", dir / "links/dangling.txt");
    for (const char* link : {"links/absolute.txt", "links/relative.txt", "links/chain.txt"}) {
        ASSERT_TRUE(WriteFileSafely(dir / link, link)) << link;
        EXPECT_EQ(ReadFile(target), link);
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    }
    EXPECT_EQ(StatOf(target).st_mode & 07777, mode_t(0640));
    EXPECT_EQ(fs::read_symlink(dir / "links/chain.txt"), fs::path("relative.txt"));
    ASSERT_TRUE(WriteFileSafely(dir / "links/dangling.txt", "new"));
    EXPECT_EQ(ReadFile(dir / "models/new.txt"), "new") << "a link to a missing file creates its target";
    EXPECT_EQ(NamesIn(dir.path() / "models"), (Names{"walk.txt", "new.txt"}));
    // A loop of links is not replaced.
    fs::create_symlink("b.txt", dir / "a.txt");
    fs::create_symlink("a.txt", dir / "b.txt");
    EXPECT_FALSE(WriteFileSafely(dir / "a.txt", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "a.txt"));
}

TEST(SafeWrite, WhatCannotBeWrittenIsReportedAndNothingIsCreated) {
    TempDir dir;
    fs::create_directory(dir / "folder.txt");
    EXPECT_FALSE(WriteFileSafely(dir / "missing/m.txt", "new"));
    EXPECT_FALSE(WriteFileSafely(dir / "folder.txt", "new"));
    EXPECT_FALSE(WriteFileSafely("", "new"));
    EXPECT_EQ(NamesIn(dir.path()), Names{"folder.txt"});
}

TEST(SafeWrite, AWriteStoppedByTheFileSizeLimitLeavesTheOldFile) {
    TempDir dir;
    WriteFile(dir / "m.txt", kOld);
    ExpectInChild([&]() -> std::string {
        if (std::string why = LimitFileSize(4096); !why.empty()) return why;
        return WriteFileSafely(dir / "m.txt", kLong) ? "a write past the limit was reported as done" : "";
    });
    EXPECT_EQ(ReadFile(dir / "m.txt"), kOld);
    EXPECT_EQ(NamesIn(dir.path()), Names{"m.txt"});
}

TEST(SafeWrite, AFullDiskOrOneWithoutInodesLeavesTheOldFile) {
    TempDir dir;
    const std::string disk = dir / "disk";
    fs::create_directory(disk);
    ExpectInChild([&]() -> std::string {
        // Room for the first page of the new content, not for the rest.
        if (std::string why = TinyFullDisk(disk, "size=64k", "m.txt", 4096); !why.empty()) return why;
        if (WriteFileSafely(disk + "/m.txt", kLong)) return "a write to a full disk was reported as done";
        if (std::string p = Holds(disk + "/m.txt", kOld); !p.empty()) return p;
        if (NamesIn(disk) != Names{"m.txt", "filler"}) return "a temporary file was left";
        // The space of the temporary file came back: a small file still fits.
        return WriteFileSafely(disk + "/m.txt", "new\r\n") ? Holds(disk + "/m.txt", "new\r\n") : "a small write failed";
    });
    ExpectInChild([&]() -> std::string {
        // No temporary file because no inode is left, not because the folder forbids
        // it: the old file must not be overwritten in place either.
        if (std::string why = TinyFullDisk(disk, "size=64k,nr_inodes=3", "m.txt", 0); !why.empty()) return why;
        if (WriteFileSafely(disk + "/m.txt", kLong)) return "a write without room was reported as done";
        return Holds(disk + "/m.txt", kOld);
    });
}

TEST(SafeWrite, AWriteProtectedOrImmutableFileIsNeverReplaced) {
    // The folder is writable, so renaming over the file would succeed: it must not happen.
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string folder = dir / "models", path = folder + "/m.txt";
    fs::create_directory(folder);
    WriteFile(path, kOld);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody) + ::chown(path.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ExpectInChild([&]() -> std::string {
        if (std::string why = BecomeUnprivilegedIn(folder); !why.empty()) return why;
        return WriteFileSafely(path, "new") ? "a write-protected file was replaced" : "";
    });
    EXPECT_EQ(ReadFile(path), kOld);
    EXPECT_EQ(StatOf(path).st_mode & 07777, mode_t(0444));
    EXPECT_EQ(NamesIn(folder), Names{"m.txt"});
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    Immutable frozen(path);
    SKIP_UNLESS_IMMUTABLE(frozen);
    EXPECT_FALSE(WriteFileSafely(path, "new"));
    EXPECT_EQ(ReadFile(path), kOld);
}

// A folder that allows no new file, with a file in it that may be written.
struct LockedFolder {
    TempDir dir;
    std::string folder = dir / "models", path = folder + "/m.txt";
    LockedFolder() {
        ::chmod(dir.path().c_str(), 0755);
        fs::create_directory(folder);
        WriteFile(path, std::string(6000, 'o'));
        if (::geteuid() == 0 && (::chown(folder.c_str(), kNobody, kNobody) || ::chown(path.c_str(), kNobody, kNobody))) {
            ADD_FAILURE() << "chown";
        }
        ::chmod(path.c_str(), 0640);
        ::chmod(folder.c_str(), 0555);
    }
    ~LockedFolder() { ::chmod(folder.c_str(), 0755); }
};

TEST(SafeWrite, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    LockedFolder locked;
    const ino_t inode = StatOf(locked.path).st_ino;
    ExpectInChild([&]() -> std::string {
        if (std::string why = BecomeUnprivilegedIn(locked.folder); !why.empty()) return why;
        if (!WriteFileSafely(locked.path, "new\r\n")) return "the in-place write failed";
        if (WriteFileSafely(locked.folder + "/other.txt", "new")) return "a new file was made in a read-only folder";
        // Writing in place truncates first: past the size limit it must not start.
        if (std::string why = LimitFileSize(4096); !why.empty()) return why;
        return WriteFileSafely(locked.path, kLong) ? "a failed in-place write was reported as done" : "";
    });
    EXPECT_EQ(ReadFile(locked.path), "new\r\n");
    EXPECT_EQ(StatOf(locked.path).st_ino, inode);
    EXPECT_EQ(StatOf(locked.path).st_mode & 07777, mode_t(0640));
    EXPECT_EQ(NamesIn(locked.folder), Names{"m.txt"});
    ::chmod(locked.folder.c_str(), 0755);
    Immutable frozen(locked.folder);
    SKIP_UNLESS_IMMUTABLE(frozen);
    EXPECT_TRUE(WriteFileSafely(locked.path, "again\r\n"));
    EXPECT_FALSE(WriteFileSafely(locked.folder + "/other.txt", "new"));
    EXPECT_EQ(ReadFile(locked.path), "again\r\n");
    EXPECT_EQ(StatOf(locked.path).st_ino, inode);
}

}  // namespace
}  // namespace vandrel
