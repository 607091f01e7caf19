// The sample models in examples/ open, list their keyframes, match each other
// bone for bone, and print what examples/README.md says they print.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "TestSupport.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

const std::string kExamples = VANDREL_EXAMPLES;

// A fresh folder holding copies of the samples, so that a run may write beside them.
struct Samples : ::testing::Test {
    TempDir dir;
    void SetUp() override {
        for (const char* name : {"walk.txt", "walk.csv", "other.txt"})
            std::filesystem::copy_file(kExamples + "/" + name, dir / name);
    }
};

TEST(Smoke, CliStartsWithTheReadyStatus) {
    TempDir dir;
    auto r = RunCli(dir.path().string(), "status\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n\n\n\n --------- < R E A D Y > ---------\n");
}

TEST_F(Samples, ReadmeCommandPrintsWhatTheReadmeShows) {
    // The indented block after "It prints" in the README is the expected output.
    std::istringstream readme(ReadFile(kExamples + "/README.md"));
    std::string line, expected;
    bool inBlock = false, started = false;
    while (std::getline(readme, line)) {
        if (line.rfind("It prints", 0) == 0) {
            inBlock = true;
            continue;
        }
        if (!inBlock) continue;
        if (line.rfind("    ", 0) == 0) {
            started = true;
            expected += line.substr(4) + "\n";
        } else if (line.empty()) {
            if (started) expected += "\n";
        } else if (started) {
            break;
        }
    }
    while (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\n\n") == 0) expected.pop_back();
    ASSERT_FALSE(expected.empty());

    auto r = RunCli(dir.path().string(), "open 1 walk.txt\ntable 1\nstats 1\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
}

TEST_F(Samples, BothFiguresShareTheirSkeleton) {
    auto r = RunCli(dir.path().string(), "open 1 walk.txt\nopen 2 other.txt\ntable 2\nstatus\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("5\n25\n45\n65\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" Joints: 5\n Compatible: 5\n Joints: 5\n"), std::string::npos) << r.out;
}

TEST_F(Samples, FilesUseCrLfThroughout) {
    for (const char* name : {"walk.txt", "walk.csv", "other.txt"}) {
        const std::string bytes = ReadFile(dir / name);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
            } else if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << " at " << i;
            }
        }
    }
}

TEST_F(Samples, SavingTheWalkChangesOnlyTheBoneFlags) {
    const std::string original = ReadFile(dir / "walk.txt");
    auto r = RunCli(dir.path().string(), "clock 2026-05-04 10:30\nopen 1 walk.txt\nsave 1\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string expected = original;
    for (size_t at = 0; (at = expected.find("\"\r\n8 ", at)) != std::string::npos;) expected[at + 3] = '0';
    EXPECT_EQ(ReadFile(dir / "walk.txt"), expected);
    EXPECT_EQ(ReadFile(dir / "walk.csv"), ReadFile(kExamples + "/walk.csv"));
}

}  // namespace
}  // namespace vandrel
