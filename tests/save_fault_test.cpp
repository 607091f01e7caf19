// The Save command when the disk or the file system says no: the old model and
// its side file stay byte for byte as they were, the message is shown, and no
// temporary file is left behind. Each fault is real: vandrel-cli runs as an
// unprivileged user, under a file-size limit, on a full tmpfs, or against
// immutable files and folders. Cases this machine cannot set up are skipped.
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
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "FileFaults.h"
#include "TestSupport.h"

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

const std::string kClock = "clock 2012-04-30 14:05\n";
const std::string kNotSaved = "Error: File < walk.txt > is write-protected! / The file cannot be saved!\n";

std::string Data(const std::string& name) { return ReadFile(std::string(VANDREL_TEST_DATA) + "/save/" + name); }

std::string WithCrLf(const std::string& lfText) {
    std::string out;
    for (char c : lfText) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// What a save of walk.txt writes; the side file that lies beside it before
// (German, another date), so that any write of it shows.
const std::string kSavedModel = WithCrLf(Data("walk.saved"));
const std::string kSavedSidecar = WithCrLf(Data("walk.saved.csv"));
const std::string kOldSidecar = Data("walk.csv");

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Acting as an ordinary user: nobody when the tests run as root.
bool BecomeUnprivileged() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && ::geteuid() != 0;
}

#define SKIP_UNLESS_IMMUTABLE(guard) \
    if (!(guard).IsSet()) GTEST_SKIP() << "the immutable flag cannot be set here (needs root on ext4 or similar)"

// How vandrel-cli is run: in `workDir`, the script on standard input, optionally
// as an unprivileged user and under a file-size limit (SIGXFSZ ignored, so a write
// past it fails with EFBIG instead of ending the program). setUp runs in a child
// process before vandrel-cli and may return "skip: reason"; afterwards runs in the
// same child after vandrel-cli has ended (a private mount lives as long as it).
struct CliRun {
    std::string workDir;
    std::string script;
    bool unprivileged = false;
    rlim_t fileSizeLimit = 0;
    bool keepGoing = false;
    std::function<std::string()> setUp;
    std::function<void()> afterwards;
};

struct CliOutcome {
    std::string skipped;  // why the run could not be made; empty when it ran
    int exitCode = -1;
    std::string out, err;
};

CliRun Script(const std::string& workDir, const std::string& script, bool unprivileged = false) {
    CliRun run;
    run.workDir = workDir;
    run.script = script;
    run.unprivileged = unprivileged;
    return run;
}

CliOutcome RunVandrelCli(const CliRun& run) {
    TempDir scratch;
    const std::string scriptPath = scratch / "script", outPath = scratch / "out", errPath = scratch / "err";
    WriteFile(scriptPath, run.script);
    WriteFile(outPath, "");
    WriteFile(errPath, "");

    int pipeEnds[2];
    CliOutcome outcome;
    if (::pipe(pipeEnds) != 0) {
        outcome.skipped = "no pipe";
        return outcome;
    }
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(pipeEnds[0]);
        std::string report = run.setUp ? run.setUp() : "";
        if (report.empty()) {
            const pid_t cli = ::fork();
            if (cli == 0) {
                const int in = ::open(scriptPath.c_str(), O_RDONLY);
                const int out = ::open(outPath.c_str(), O_WRONLY | O_TRUNC);
                const int err = ::open(errPath.c_str(), O_WRONLY | O_TRUNC);
                if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
                    ::chdir(run.workDir.c_str()) != 0)
                    ::_exit(126);
                if (run.fileSizeLimit > 0) {
                    // The signal keeps its default action (end the process): the
                    // program itself must turn it into a failed write.
                    ::signal(SIGXFSZ, SIG_DFL);
                    const rlimit limit{run.fileSizeLimit, run.fileSizeLimit};
                    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
                }
                if (run.unprivileged && !BecomeUnprivileged()) ::_exit(125);
                if (::access(run.workDir.c_str(), X_OK) != 0) ::_exit(124);
                if (run.keepGoing) ::execl(VANDREL_CLI, "vandrel-cli", "--keep-going", static_cast<char*>(nullptr));
                else ::execl(VANDREL_CLI, "vandrel-cli", static_cast<char*>(nullptr));
                ::_exit(127);
            }
            int status = 0;
            ::waitpid(cli, &status, 0);
            if (run.afterwards) run.afterwards();
            report = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                       : "signal " + std::to_string(WTERMSIG(status));
        }
        const ssize_t ignored = ::write(pipeEnds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) report.append(buffer, size_t(got));
    ::close(pipeEnds[0]);
    ::waitpid(holder, nullptr, 0);

    if (report.rfind("skip: ", 0) == 0) outcome.skipped = report.substr(6);
    else if (report == "exit 124") outcome.skipped = "the unprivileged user cannot reach " + run.workDir;
    else if (report == "exit 125") outcome.skipped = "cannot switch to an unprivileged user";
    else if (report == "exit 126") outcome.skipped = "vandrel-cli's input, output or limits cannot be set up";
    else if (report == "exit 127") outcome.skipped = "the unprivileged user cannot run " + std::string(VANDREL_CLI);
    else if (report.rfind("exit ", 0) == 0) outcome.exitCode = std::stoi(report.substr(5));
    else ADD_FAILURE() << "vandrel-cli ended by " << report;
    outcome.out = ReadFile(outPath);
    outcome.err = ReadFile(errPath);
    return outcome;
}

#define SKIP_IF_NOT_RUN(outcome) \
    if (!(outcome).skipped.empty()) GTEST_SKIP() << (outcome).skipped

// A folder with walk.txt and its old side file, and a separate working folder
// for vandrel-cli (its settings file goes there).
struct Models {
    TempDir dir;
    std::string folder = dir / "models";
    std::string model = folder + "/walk.txt";
    std::string sidecar = folder + "/walk.csv";
    std::string work = dir / "work";
    explicit Models(const std::string& modelBytes = Data("walk.txt")) {
        ::chmod(dir.path().c_str(), 0755);  // reachable for an unprivileged user whatever the umask
        fs::create_directory(folder);
        fs::create_directory(work);
        WriteFile(model, modelBytes);
        WriteFile(sidecar, kOldSidecar);
    }
    ~Models() { ::chmod(folder.c_str(), 0755); }
    std::string SaveScript() const { return kClock + "open 1 " + model + "\nsave 1\n"; }
};

TEST(SaveFaults, AWriteProtectedModelIsReportedAndLeftAlone) {
    // The folder is the user's own, so renaming over the model would succeed.
    Models m;
    const std::string oldModel = ReadFile(m.model);
    for (const std::string& path : {m.folder, m.model, m.sidecar}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(m.model.c_str(), 0444), 0);

    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript(), true));
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNotSaved);
    EXPECT_EQ(ReadFile(m.model), oldModel);
    EXPECT_EQ(ReadFile(m.sidecar), kOldSidecar);
    EXPECT_EQ(StatOf(m.model).st_mode & 07777, mode_t(0444));
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, TheMessageIsTheSameInGermanAndNamesOnlyTheFile) {
    Models m;
    for (const std::string& path : {m.folder, m.model, m.sidecar}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(m.model.c_str(), 0444), 0);

    CliOutcome r = RunVandrelCli(Script(m.work, "language 1\n" + m.SaveScript(), true));
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Fehler: Datei < walk.txt > ist schreibgeschützt! / Die Datei kann nicht gesichert werden!\n");

    // The message box as the window shows it: title with its blank, two lines joined by CR LF.
    CliRun withDump = Script(m.work, "language 0\n" + m.SaveScript() + "dump\n", true);
    withDump.keepGoing = true;
    CliOutcome dumped = RunVandrelCli(withDump);
    SKIP_IF_NOT_RUN(dumped);
    const std::string message =
        R"("messages":[[" Error","File < walk.txt > is write-protected!\r\nThe file cannot be saved!"]])";
    EXPECT_NE(dumped.out.find(message), std::string::npos) << dumped.out.substr(0, 300);
}

TEST(SaveFaults, AnImmutableModelIsReportedAndLeftAlone) {
    Models m;
    const std::string oldModel = ReadFile(m.model);
    Immutable frozen(m.model);
    SKIP_UNLESS_IMMUTABLE(frozen);

    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNotSaved);
    EXPECT_EQ(ReadFile(m.model), oldModel);
    EXPECT_EQ(ReadFile(m.sidecar), kOldSidecar);
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, AWriteStoppedPartWayLosesNothing) {
    // The limit stops the model half written but would let the small side file through.
    Models m;
    const std::string oldModel = ReadFile(m.model);
    ASSERT_GT(kSavedModel.size(), 512u);
    ASSERT_LT(kSavedSidecar.size(), 512u);

    CliRun run = Script(m.work, m.SaveScript());
    run.fileSizeLimit = 512;
    CliOutcome r = RunVandrelCli(run);
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNotSaved);
    EXPECT_EQ(ReadFile(m.model), oldModel);
    EXPECT_EQ(ReadFile(m.sidecar), kOldSidecar);
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, AFullDiskLosesNothing) {
    // walk.txt with many note lines after its bones, so that the saved model is
    // larger than the one page left free on a tiny tmpfs; the side file would fit.
    std::string notes;
    for (int i = 0; i < 300; ++i) notes += "// note line " + std::to_string(i) + " of a long model\n";
    Models m(Data("walk.txt") + notes);
    ASSERT_GT(kSavedModel.size() + notes.size(), 4096u);
    const std::string oldModel = ReadFile(m.model);
    const std::string disk = m.dir / "disk", after = m.dir / "after";
    fs::create_directory(disk);
    fs::create_directory(after);

    CliRun run = Script(m.work, kClock + "open 1 " + disk + "/walk.txt\nsave 1\n");
    run.setUp = [&]() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) return std::string("skip: no private mount namespace: ") + strerror(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "skip: mounts stay shared";
        if (::mount("vandrel-test", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            return std::string("skip: no tmpfs can be mounted: ") + strerror(errno);
        fs::copy_file(m.model, disk + "/walk.txt");
        fs::copy_file(m.sidecar, disk + "/walk.csv");
        // Fill the rest, then give one page back.
        const int fd = ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        const std::string page(4096, 'f');
        off_t size = 0;
        ssize_t written;
        while ((written = ::write(fd, page.data(), page.size())) > 0) size += written;
        const bool full = written < 0 && errno == ENOSPC && ::ftruncate(fd, size - 4096) == 0;
        ::close(fd);
        return full ? "" : "the tmpfs did not fill up";
    };
    run.afterwards = [&] {
        for (const auto& entry : fs::directory_iterator(disk))
            if (entry.path().filename() != "filler") fs::copy_file(entry.path(), after / entry.path().filename());
    };
    CliOutcome r = RunVandrelCli(run);
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNotSaved);
    EXPECT_EQ(NamesIn(after), (std::set<std::string>{"walk.txt", "walk.csv"}));
    EXPECT_EQ(ReadFile(after + "/walk.txt"), oldModel);
    EXPECT_EQ(ReadFile(after + "/walk.csv"), kOldSidecar);
}

TEST(SaveFaults, AWritableModelInAReadOnlyFolderIsSavedInPlace) {
    Models m;
    for (const std::string& path : {m.folder, m.model, m.sidecar}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(m.model.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(m.folder.c_str(), 0555), 0);
    const struct stat before = StatOf(m.model);

    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript(), true));
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_EQ(ReadFile(m.sidecar), kSavedSidecar);
    EXPECT_EQ(StatOf(m.model).st_ino, before.st_ino);
    EXPECT_EQ(StatOf(m.model).st_mode & 07777, mode_t(0640));
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, AReadOnlyFolderWithoutSideFileReportsTheSideFile) {
    // The model is saved in place; the side file cannot be created beside it.
    Models m;
    fs::remove(m.sidecar);
    for (const std::string& path : {m.folder, m.model}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(m.folder.c_str(), 0555), 0);

    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript(), true));
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Error: File < walk.csv > is write-protected! / The file cannot be saved!\n");
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_EQ(NamesIn(m.folder), std::set<std::string>{"walk.txt"});
}

TEST(SaveFaults, AWritableModelInAnImmutableFolderIsSavedInPlace) {
    Models m;
    const ino_t inode = StatOf(m.model).st_ino;
    CliOutcome r;
    {
        Immutable frozen(m.folder);
        SKIP_UNLESS_IMMUTABLE(frozen);
        r = RunVandrelCli(Script(m.work, m.SaveScript()));
    }
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_EQ(ReadFile(m.sidecar), kSavedSidecar);
    EXPECT_EQ(StatOf(m.model).st_ino, inode);
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, AnInPlaceSaveOverTheSizeLimitIsReportedAndLosesNothing) {
    Models m;
    const std::string oldModel = ReadFile(m.model);
    for (const std::string& path : {m.folder, m.model, m.sidecar}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(m.folder.c_str(), 0555), 0);

    CliRun run = Script(m.work, m.SaveScript(), true);
    run.fileSizeLimit = 512;
    CliOutcome r = RunVandrelCli(run);
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNotSaved);
    // Writing in place would have to truncate the model first: it does not start.
    EXPECT_EQ(ReadFile(m.model), oldModel);
    EXPECT_EQ(ReadFile(m.sidecar), kOldSidecar);
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, ASideFileThatCannotBeWrittenIsReportedAfterTheModelIsSaved) {
    Models m;
    fs::remove(m.sidecar);
    fs::create_directory(m.sidecar);
    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Error: File < walk.csv > is write-protected! / The file cannot be saved!\n");
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_TRUE(fs::is_directory(m.sidecar));
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, SavingKeepsThePermissionsOfBothFiles) {
    Models m;
    ASSERT_EQ(::chmod(m.model.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(m.sidecar.c_str(), 0604), 0);
    CliOutcome r = RunVandrelCli(Script(m.work, m.SaveScript()));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_EQ(StatOf(m.model).st_mode & 07777, mode_t(0640));
    EXPECT_EQ(StatOf(m.sidecar).st_mode & 07777, mode_t(0604));
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
}

TEST(SaveFaults, AModelOpenedThroughALinkIsSavedIntoItsTarget) {
    // The link stays a link; the side file is named after the path that was opened.
    Models m;
    const std::string links = m.dir / "links";
    fs::create_directory(links);
    fs::create_symlink("../models/walk.txt", links + "/link.txt");

    CliOutcome r = RunVandrelCli(Script(m.work, kClock + "open 1 " + links + "/link.txt\nsave 1\n"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(links + "/link.txt"));
    EXPECT_EQ(fs::read_symlink(links + "/link.txt"), fs::path("../models/walk.txt"));
    EXPECT_EQ(ReadFile(m.model), kSavedModel);
    EXPECT_EQ(ReadFile(links + "/link.csv").substr(0, 16), "link - Keyframes");
    EXPECT_EQ(ReadFile(m.sidecar), kOldSidecar);
    EXPECT_EQ(NamesIn(m.folder), (std::set<std::string>{"walk.txt", "walk.csv"}));
    EXPECT_EQ(NamesIn(links), (std::set<std::string>{"link.txt", "link.csv"}));
}

TEST(SaveFaults, AWriteProtectedSettingsFileFailsSilently) {
    // Opening a model writes the settings; a settings file that cannot be
    // written is left as it was, without a message.
    Models m;
    const std::string settings = m.work + "/Vandrel.ini";
    WriteFile(settings, "FILE1=\r\nFILE2=\r\nLANGUAGE=0\r\n");
    for (const std::string& path : {m.work, settings}) GiveToUnprivileged(path);
    ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);

    CliOutcome r = RunVandrelCli(Script(m.work, "open 1 " + m.model + "\n", true));
    SKIP_IF_NOT_RUN(r);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(settings), "FILE1=\r\nFILE2=\r\nLANGUAGE=0\r\n");
    EXPECT_EQ(NamesIn(m.work), std::set<std::string>{"Vandrel.ini"});

    // Writable again: the settings are replaced whole, nothing else appears.
    ASSERT_EQ(::chmod(settings.c_str(), 0644), 0);
    r = RunVandrelCli(Script(m.work, "open 1 " + m.model + "\n", true));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ReadFile(settings), "FILE1=" + m.model + "\r\nFILE2=\r\nLANGUAGE=0\r\n");
    EXPECT_EQ(NamesIn(m.work), std::set<std::string>{"Vandrel.ini"});
}

}  // namespace
}  // namespace vandrel
