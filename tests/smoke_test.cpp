// The sample models open and list their keyframes.
#include <gtest/gtest.h>

#include "TestSupport.h"

using vandrel::test::RunCli;

TEST(Smoke, CliPrintsUsage) {
    vandrel::test::TempDir dir;
    auto r = RunCli(dir.path().string(), "status\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n\n\n\n --------- < R E A D Y > ---------\n");
}
