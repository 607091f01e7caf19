// Bone identity on many generated skeletons: duplicate rest lines become
// distinct by their last six characters only; long chains settle and hopeless
// files do not hang.
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

// The form a rest line is compared in: stripped, and numbers written "%.6f".
std::string NormalForm(std::string_view line) {
    const std::string_view stripped = StripBlanks(line);
    return NormalRestLine(stripped).value_or(std::string(stripped));
}

TEST(RestLines, DuplicatesBecomeDistinctByTheirLastSixCharactersOnly) {
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
        ModelSlot& slot = ws.File(1);
        LoadModelText(slot, ws.LineCapacity, TextOf(ModelWithRestLines(rests)));
        const std::vector<std::string> loaded = RestLinesOf(slot);
        MakeRestLinesUnique(slot);
        const std::vector<std::string> made = RestLinesOf(slot);
        SCOPED_TRACE("round " + std::to_string(round) + ": " + test::JoinLines(rests, " | "));

        ASSERT_EQ(slot.LoadedRestLines.size(), loaded.size());
        for (size_t b = 0; b < loaded.size(); ++b) EXPECT_EQ(slot.LoadedRestLines[b], StripBlanks(loaded[b]));
        if (!slot.RestLinesAdjusted) {
            EXPECT_EQ(made, loaded);
            continue;
        }
        // The first bone keeps its line; every other keeps all but its last six
        // characters, and no two bones share a line any more.
        EXPECT_EQ(made[0], NormalForm(loaded[0]));
        for (size_t b = 0; b < made.size(); ++b) {
            const std::string normal = NormalForm(loaded[b]);
            const std::string head = normal.size() > 6 ? normal.substr(0, normal.size() - 6) : std::string();
            if (made[b] != normal) {
                EXPECT_TRUE(made[b].size() == head.size() + 6 && made[b].starts_with(head)) << made[b];
            }
            for (size_t c = 0; c < b; ++c) EXPECT_NE(made[b], made[c]);
        }
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
