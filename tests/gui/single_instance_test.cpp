// One copy of the program per user: the guard across real processes, after a
// SIGKILL, with a child left behind, and the program itself as the second copy.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "TestSupport.h"

namespace vandrel {
namespace {

struct Process {
    pid_t pid = -1;
    int out = -1;  // the read end of its standard output
};

Process Spawn(const std::vector<std::string>& args, const std::string& workDir = {}) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[0]);
        ::close(ends[1]);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    return {pid, ends[0]};
}

// One line of the process's output without its end; "" at the end of the output.
std::string ReadLine(const Process& process) {
    std::string line;
    for (char c; ::read(process.out, &c, 1) == 1 && c != '\n';) line += c;
    return line;
}

// The exit status, or -1 when it did not end within a minute (then it is killed).
int WaitForExit(Process& process, bool kill = false) {
    if (kill) ::kill(process.pid, SIGKILL);
    int status = 0;
    for (int i = 0; i < 1200 && ::waitpid(process.pid, &status, WNOHANG) != process.pid; ++i) {
        if (i == 1199) {
            ::kill(process.pid, SIGKILL);
            ::waitpid(process.pid, &status, 0);
            status = -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::close(process.out);
    return status == -1 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Process Probe(const std::string& name, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {VANDREL_PROBE, name};
    args.insert(args.end(), extra.begin(), extra.end());
    return Spawn(args);
}

TEST(SingleInstance, ASecondClaimFailsWhileTheFirstLivesEvenAfterASigkillOrWithAChildLeft) {
    const std::string name = "VandrelProbe." + std::to_string(::getpid());
    Process first = Probe(name, {"--with-child"});
    const std::string answer = ReadLine(first);
    ASSERT_EQ(answer.rfind("first ", 0), 0u) << answer;
    const pid_t child = pid_t(std::stoi(answer.substr(6)));
    Process second = Probe(name);
    EXPECT_EQ(ReadLine(second), "running");
    EXPECT_EQ(WaitForExit(second), 0);
    WaitForExit(first, true);  // no chance to clean up; its child lives on
    ASSERT_EQ(::kill(child, 0), 0) << "the child should still live";
    Process third = Probe(name);
    EXPECT_EQ(ReadLine(third), "first");
    WaitForExit(third, true);
    ::kill(child, SIGKILL);
}

TEST(SingleInstance, ASecondCopyOfTheProgramEndsSilentlyWithoutTouchingTheSettings) {
    // Hold the program's own name as a running copy does; another copy of this
    // user's may hold it already, then that one is the first copy.
    Process running = Probe("VandrelTest");
    const std::string answer = ReadLine(running);
    ASSERT_TRUE(answer == "first" || answer == "running") << answer;
    test::TempDir withSettings, withoutSettings;
    const std::string settings = withSettings / "Vandrel.ini";
    test::WriteFile(settings, "FILE1=\r\nFILE2=\r\nLANGUAGE=1\r\n");
    struct stat before {}, after {};
    ::stat(settings.c_str(), &before);
    for (const std::string& dir : {withSettings.path().string(), withoutSettings.path().string()}) {
        Process second = Spawn({VANDREL_PROGRAM}, dir);
        EXPECT_EQ(ReadLine(second), "");
        EXPECT_EQ(WaitForExit(second), 0) << "the second copy in " << dir << " did not end by itself";
    }
    EXPECT_FALSE(std::filesystem::exists(withoutSettings / "Vandrel.ini"));
    ::stat(settings.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << "a rewrite would replace the file";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    WaitForExit(running, answer == "first");
}

}  // namespace
}  // namespace vandrel
