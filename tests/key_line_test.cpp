// The one rule for key lines: four blank-separated fields, not beginning with a
// blank or a double quote, however long the line and wherever its blanks fall.
#include <gtest/gtest.h>

#include <random>

#include "model/KeyLines.h"

namespace vandrel {
namespace {

bool FourFields(const std::string& line) {
    if (line.empty() || line[0] == ' ' || line[0] == '"') return false;
    int fields = 0;
    for (size_t i = 0; i < line.size(); ++i) fields += line[i] != ' ' && (i == 0 || line[i - 1] == ' ');
    return fields == 4;
}

TEST(KeyLine, FourFieldsWhateverTheTimeAndTheLength) {
    for (const char* key : {"10.000000 0.1 0.2 0.3", "5 0 0 0", "0.735294 0 0 0", "10.0  1 2 3 ", "-1.5 a b c"})
        EXPECT_TRUE(IsKeyLine(key)) << key;
    for (const char* other : {"", " 5 0 0 0", "\"5 0 0 0\"", "5 0 0", "5 0 0 0 0", "8 0.0 1.0 0.0 0.0 0.0 0.0", "3"})
        EXPECT_FALSE(IsKeyLine(other)) << other;
    std::mt19937 rng(5);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (size_t k = 0, n = rng() % 70; k < n; ++k) line += "ab  \"\t"[rng() % 6];
        ASSERT_EQ(IsKeyLine(line), FourFields(line)) << "[" << line << "]";
    }
}

}  // namespace
}  // namespace vandrel
