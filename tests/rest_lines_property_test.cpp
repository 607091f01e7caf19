// Bone identity on many generated skeletons: the grouped passes that make rest
// lines unique give exactly what comparing every pair of bones, pass after
// pass, gives; long chains settle and hopeless files do not hang.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "model/IntegerValue.h"
#include "model/Text.h"

namespace vandrel {
namespace {

// A model of bones with the given rest lines, one position and no rotation key each.
std::string ModelWithRestLines(const std::vector<std::string>& rests) {
    std::vector<std::string> lines{"// MilkShape 3D ASCII", "Bones: " + std::to_string(rests.size())};
    for (size_t b = 0; b < rests.size(); ++b)
        lines.insert(lines.end(), {"\"bone" + std::to_string(b) + "\"", b == 0 ? "\"\"" : "\"bone0\"", rests[b], "1",
                                   "1.000000 0.000000 0.000000 0.000000", "0"});
    return test::JoinLines(lines);
}

std::vector<std::string> RestLinesOf(const ModelSlot& slot) {
    std::vector<std::string> rests;
    for (const BoneRecord& b : slot.BoneList) rests.emplace_back(LineAt(slot, b.RestLine));
    return rests;
}

// The text without its last six characters, then the last six characters of
// "000000" and the decimal text of the number in those six characters plus one.
std::string LiteralNextText(const std::string& w) {
    const std::string head = w.size() > 6 ? w.substr(0, w.size() - 6) : std::string();
    const std::string counted = "000000" + std::to_string(IntegerValue(w.size() > 6 ? w.substr(w.size() - 6) : w) + 1);
    return head + counted.substr(counted.size() - 6);
}

TEST(RestLines, GroupedPassesEqualComparingEveryPair) {
    std::mt19937 random(20260504);
    const std::vector<std::string> heads{"0 1.0 2.0 3.0 0.0 0.0 ", "0 0 0 0 0 0 ", "8 5 5 5 5 5 ", ""};
    const std::vector<std::string> tails{"0.000000", "0.000001", "0.000002", "0.999998", "0.999999", "1.000000",
                                         "999999",   "000001",   "7",        "",         "-00002",   "$00001", "%10"};
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 1500; ++round) {
        // Few distinct texts, so that most lists hold many duplicates.
        std::vector<std::string> pool, rests;
        for (size_t k = 0, kinds = 1 + random() % 4; k < kinds; ++k) pool.push_back(pick(heads) + pick(tails));
        for (size_t b = 0, count = 1 + random() % 14; b < count; ++b)
            rests.push_back((random() % 8 == 0 ? "  " : "") + pick(pool) + (random() % 8 == 0 ? " " : ""));
        Workspace ws;
        LoadModelText(ws, 1, TextOf(ModelWithRestLines(rests)));
        ModelSlot& slot = ws.File(1);
        const std::vector<std::string> loaded = RestLinesOf(slot);
        // Rest lines of numbers are held "%.6f" first; a line that changes so counts as adjusted.
        std::vector<std::string> w, stripped;
        bool adjusted = false, changed = true;
        for (const std::string& r : loaded) {
            stripped.emplace_back(StripBlanks(r));
            const std::optional<std::string> normal = NormalRestLine(stripped.back());
            if (normal && *normal != r) adjusted = true;
            w.push_back(normal.value_or(stripped.back()));
        }
        while (changed) {
            changed = false;
            for (size_t i = 0; i + 1 < w.size(); ++i)
                for (size_t j = i + 1; j < w.size(); ++j)
                    if (w[i] == w[j]) w[j] = LiteralNextText(w[j]), changed = adjusted = true;
        }
        MakeRestLinesUnique(slot);
        SCOPED_TRACE("round " + std::to_string(round) + ": " + test::JoinLines(rests, " | "));
        EXPECT_EQ(slot.LoadedRestLines, stripped);
        EXPECT_EQ(slot.RestLinesAdjusted, adjusted);
        EXPECT_EQ(RestLinesOf(slot), adjusted ? w : loaded);
    }
    // The next text of odd texts, against the rule as it reads.
    const std::string alphabet = "0123456789 .-+$%abfF\t\"";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t k = 0, length = random() % 12; k < length; ++k) text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(NextRestLineText(text), LiteralNextText(text)) << "[" << text << "]";
    }
}

TEST(RestLines, ALongChainOfNearDuplicatesSettlesAsEveryPairWould) {
    // ...N, ..., ...1, ...0, ...0: every pass moves the last bone one step up, so
    // comparing every pair takes N passes; no bound on the passes may cut it short.
    const int n = 12000;
    std::vector<std::string> rests;
    char text[64];
    for (int k = n; k >= 0; --k) {
        std::snprintf(text, sizeof text, "0 0.000000 0.000000 0.000000 0.000000 0.000000 0.%06d", k);
        rests.push_back(text);
    }
    rests.push_back(rests.back());
    Workspace ws;
    const ModelSlot& slot = test::OpenBytes(ws, 1, ModelWithRestLines(rests));
    std::snprintf(text, sizeof text, "0 0.000000 0.000000 0.000000 0.000000 0.000000 0.%06d", n + 1);
    EXPECT_EQ(RestLinesOf(slot).back(), text);
    EXPECT_EQ(RestLinesOf(slot)[0], rests[0]);
}

TEST(RestLines, MoreIdenticalBonesThanSixDigitsCanTellApartDoNotHang) {
    // Nothing but quote lines: every other line is a bone whose rest line is the
    // next bone's name. They can never all differ; the step must give up.
    const size_t bones = 1000003;
    std::string bytes = "// MilkShape 3D ASCII\r\nBones: 1\r\n";
    for (size_t i = 0; i < 2 * bones; ++i) bytes += "\"\r\n";
    Workspace ws;
    const ModelSlot& slot = test::OpenBytes(ws, 1, bytes);
    EXPECT_TRUE(slot.RestLinesAdjusted);
    EXPECT_EQ(slot.LoadedRestLines.size(), bones - 1);
}

}  // namespace
}  // namespace vandrel
