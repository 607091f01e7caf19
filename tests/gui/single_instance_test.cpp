// One copy of the program per user: the guard across real processes, after a
// SIGKILL, with a child left behind, and the program itself as the second copy.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Process {
    pid_t pid = -1;
    int out = -1;  // the read end of its standard output
};

Process Spawn(const std::vector<std::string>& args, const std::string& workDir = {}) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    return {pid, pipeEnds[0]};
}

// One line of the process's output, without its end; "" at the end of output.
std::string ReadLine(const Process& process) {
    std::string line;
    char c;
    while (::read(process.out, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

// The exit status, or -1 when it did not end within a minute (then it is killed).
int WaitForExit(Process& process) {
    int status = 0;
    for (int i = 0; i < 1200; ++i) {
        if (::waitpid(process.pid, &status, WNOHANG) == process.pid) {
            ::close(process.out);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(process.pid, SIGKILL);
    ::waitpid(process.pid, &status, 0);
    ::close(process.out);
    return -1;
}

void KillHard(Process& process) {
    ::kill(process.pid, SIGKILL);
    WaitForExit(process);
}

// A name no other test run uses.
std::string ProbeName(const char* what) { return std::string("VandrelProbe.") + what + "." + std::to_string(::getpid()); }

Process Probe(const std::string& name, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {VANDREL_PROBE, name};
    args.insert(args.end(), extra.begin(), extra.end());
    return Spawn(args);
}

TEST(SingleInstance, ASecondClaimFailsWhileTheFirstLivesAndSucceedsAfterItWasKilled) {
    const std::string name = ProbeName("kill");
    Process first = Probe(name);
    ASSERT_EQ(ReadLine(first), "first");
    for (int attempt = 0; attempt < 2; ++attempt) {
        Process second = Probe(name);
        EXPECT_EQ(ReadLine(second), "running");
        EXPECT_EQ(WaitForExit(second), 0);
    }
    KillHard(first);  // SIGKILL: no chance to clean up
    Process third = Probe(name);
    EXPECT_EQ(ReadLine(third), "first");
    KillHard(third);
}

TEST(SingleInstance, AChildLeftBehindDoesNotHoldTheName) {
    const std::string name = ProbeName("child");
    Process first = Probe(name, {"--with-child"});
    const std::string answer = ReadLine(first);
    ASSERT_EQ(answer.rfind("first ", 0), 0u) << answer;
    const pid_t child = pid_t(std::stoi(answer.substr(6)));
    KillHard(first);
    ASSERT_EQ(::kill(child, 0), 0) << "the child should still live";
    Process second = Probe(name);
    EXPECT_EQ(ReadLine(second), "first");
    KillHard(second);
    ::kill(child, SIGKILL);
}

TEST(SingleInstance, EachUserHasACopyOfHisOwn) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a probe as another user";
    const std::string name = ProbeName("user");
    Process mine = Probe(name);
    ASSERT_EQ(ReadLine(mine), "first");
    Process theirs = Probe(name, {"--as-uid", "65534"});
    const std::string answer = ReadLine(theirs);
    if (answer.empty() && WaitForExit(theirs) == 3) {
        KillHard(mine);
        GTEST_SKIP() << "this system does not let root switch to user 65534";
    }
    EXPECT_EQ(answer, "first");
    Process mineAgain = Probe(name);
    EXPECT_EQ(ReadLine(mineAgain), "running");
    WaitForExit(mineAgain);
    KillHard(theirs);
    KillHard(mine);
}

TEST(SingleInstance, ASecondCopyOfTheProgramEndsSilentlyWithoutTouchingTheSettings) {
    // Hold the program's own name as a running copy does. Another copy of this
    // user's may hold it already; then that one is the first copy.
    Process running = Probe("VandrelTest");
    const std::string answer = ReadLine(running);
    ASSERT_TRUE(answer == "first" || answer == "running") << answer;

    TempDir withSettings, withoutSettings;
    const std::string settings = withSettings / "Vandrel.ini";
    WriteFile(settings, "FILE1=\r\nFILE2=\r\nLANGUAGE=1\r\n");
    struct stat before {};
    ::stat(settings.c_str(), &before);

    for (const std::string& dir : {withSettings.path().string(), withoutSettings.path().string()}) {
        Process second = Spawn({VANDREL_PROGRAM}, dir);
        EXPECT_EQ(ReadLine(second), "");  // nothing on standard output
        EXPECT_EQ(WaitForExit(second), 0) << "the second copy in " << dir << " did not end by itself";
    }
    EXPECT_FALSE(std::filesystem::exists(withoutSettings / "Vandrel.ini"));
    EXPECT_EQ(ReadFile(settings), "FILE1=\r\nFILE2=\r\nLANGUAGE=1\r\n");
    struct stat after {};
    ::stat(settings.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);  // a rewrite would replace the file
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    if (answer == "first") {
        EXPECT_EQ(::kill(running.pid, 0), 0) << "the first copy is unaffected";
        KillHard(running);
    } else {
        WaitForExit(running);
    }
}

}  // namespace
}  // namespace vandrel
