// Cut, copy, edit and paste through vandrel-cli, from the model file to the saved
// file, compared byte for byte with files worked out by hand.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

namespace {

using vandrel::test::ReadFile;
using vandrel::test::RunCli;
using vandrel::test::TempDir;

std::string Data(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/clipboard/" + name; }

void CopyIn(const TempDir& dir, const std::string& name) {
    std::filesystem::copy_file(Data(name), dir / name);
}

TEST(ClipboardCli, CutRenumberAndPasteBackIsSavedWithTheKeysMoved) {
    TempDir dir;
    CopyIn(dir, "walk.txt");
    const auto r = RunCli(dir.path().string(),
                          "open 1 walk.txt\n"
                          "select 1 1 2\n"
                          "cut 1\n"
                          "table clipboard\n"
                          "edit 40 10 \"\"\n"
                          "table clipboard\n"
                          "paste 1\n"
                          "table 1\n"
                          "save 1\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "10\n20\n40\n50\n1\n30\n40\n50\n");
    EXPECT_EQ(ReadFile(dir / "walk.txt"), ReadFile(Data("walk_moved.txt")));
}

TEST(ClipboardCli, ReversedCopyPastedIntoTheOtherFileReplacesItsEqualFrame) {
    TempDir dir;
    CopyIn(dir, "walk.txt");
    CopyIn(dir, "other.txt");
    const std::string walk = ReadFile(dir / "walk.txt");
    const auto r = RunCli(dir.path().string(),
                          "open 1 walk.txt\n"
                          "open 2 other.txt\n"
                          "select 1 0 3\n"
                          "copy 1\n"
                          "edit 10 -5 \"\"\n"
                          "paste 2\n"
                          "table 1\n"
                          "table 2\n"
                          "save 2\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n10\n20\n30\n5\n10\n15\n");
    EXPECT_EQ(ReadFile(dir / "other.txt"), ReadFile(Data("other_pasted.txt")));
    EXPECT_EQ(ReadFile(dir / "walk.txt"), walk);  // a copy leaves its file alone
}

}  // namespace
