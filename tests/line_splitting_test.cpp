// Line splitting, the rule every file is read by: random bytes split as the
// rule says byte by byte (the eight-byte scan included), and a file of
// megabytes, larger than the reader's huge pages, reads as its lines.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "model/Text.h"

namespace vandrel {
namespace {

// LF, CR, CR LF and NUL end a line; the end of the bytes ends a last line that has any bytes.
std::vector<std::string> ReferenceLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r' || c == '\0') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(line);
    return lines;
}

TEST(LineSplitting, RandomBytesSplitAsTheRuleSays) {
    std::mt19937 random(11);
    const std::string alphabet("aZ \r\n\0\xE9", 7);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (size_t k = 0, length = random() % 40; k < length; ++k) bytes += alphabet[random() % alphabet.size()];
        std::vector<std::string_view> views;
        std::vector<size_t> capitals, expected;
        SplitLines(bytes, views, &capitals);
        ASSERT_TRUE(views[0].empty()) << "element 0 of a line array";
        const std::vector<std::string> lines = ReferenceLines(bytes);
        ASSERT_EQ(std::vector<std::string>(views.begin() + 1, views.end()), lines) << round;
        for (size_t k = 0; k < lines.size(); ++k)
            if (!lines[k].empty() && lines[k][0] == 'Z') expected.push_back(k + 1);
        ASSERT_EQ(capitals, expected) << "lines that begin with a capital, round " << round;
    }
}

TEST(LineSplitting, AFileOfMegabytesReadsAsItsLines) {
    // A CR LF and a NUL straddle the first megabyte; a line of three megabytes follows.
    test::TempDir dir;
    std::string bytes = "// MilkShape 3D ASCII\r\n";
    while (bytes.size() + 80 < (size_t{1} << 20))
        bytes += "0 1.000000 2.000000 3.000000 0.5 " + std::to_string(bytes.size()) + "\n";
    bytes += std::string((size_t{1} << 20) - 1 - bytes.size(), 'x') + "\r\n\rmiddle" + std::string(1, '\0') + "\n";
    bytes += std::string(size_t{3} << 20, 'y') + "\r\n\"last\"";
    test::WriteFile(dir / "large.txt", bytes);
    Workspace ws;
    ASSERT_EQ(OpenModel(ws, 1, dir / "large.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(test::ValidLines(ws.File(1)), ReferenceLines(bytes));
}

}  // namespace
}  // namespace vandrel
