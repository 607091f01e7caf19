// Bone identity: duplicate rest lines are nudged apart in their last six
// characters, the loaded texts are kept for the save, and the grouped fast pass
// gives exactly what comparing every pair of bones gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/IntegerValue.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "model/Text.h"

namespace vandrel {
namespace {

using test::JoinLines;

// A model of bones with the given rest lines, one position and no rotation key each.
std::string ModelWithRestLines(const std::vector<std::string>& rests) {
    std::vector<std::string> lines{"// MilkShape 3D ASCII", "", "Frames: 1", "Frame: 1", "",
                                   "Bones: " + std::to_string(rests.size())};
    for (size_t b = 0; b < rests.size(); ++b) {
        lines.push_back("\"bone" + std::to_string(b) + "\"");
        lines.push_back(b == 0 ? "\"\"" : "\"bone0\"");
        lines.push_back(rests[b]);
        lines.push_back("1");
        lines.push_back("1.000000 0.000000 0.000000 0.000000");
        lines.push_back("0");
    }
    return JoinLines(lines);
}

// Loads the bytes into File 1 the way an open does, without a file.
ModelSlot& Load(Workspace& ws, const std::string& bytes) {
    LoadModelText(ws, 1, TextOf(bytes));
    return ws.File(1);
}

std::vector<std::string> RestLinesOf(const ModelSlot& slot) {
    std::vector<std::string> rests;
    for (const BoneRecord& b : slot.BoneList) rests.emplace_back(LineAt(slot, b.RestLine));
    return rests;
}

// The adjustment written out as it reads: the text without its last six
// characters, then the last six characters of "000000" and the decimal text of
// the number in those six characters plus one.
std::string LiteralNextText(const std::string& w) {
    const std::string head = w.size() > 6 ? w.substr(0, w.size() - 6) : std::string();
    const std::string tail = w.size() > 6 ? w.substr(w.size() - 6) : w;
    const std::string counted = "000000" + std::to_string(IntegerValue(tail) + 1);
    return head + counted.substr(counted.size() - 6);
}

struct LiteralOutcome {
    std::vector<std::string> texts;
    bool adjusted = false;
    bool settled = false;
};

// Every pair compared, pass after pass, until a pass changes nothing.
LiteralOutcome LiteralMakeUnique(std::vector<std::string> w) {
    LiteralOutcome out;
    for (int pass = 0; pass < 100000; ++pass) {
        bool changed = false;
        for (size_t i = 0; i + 1 < w.size(); ++i)
            for (size_t j = i + 1; j < w.size(); ++j)
                if (w[i] == w[j]) {
                    w[j] = LiteralNextText(w[j]);
                    changed = out.adjusted = true;
                }
        if (!changed) {
            out.settled = true;
            break;
        }
    }
    out.texts = std::move(w);
    return out;
}

TEST(RestLines, IdenticalRestLinesCountUpInTheirLastSixCharacters) {
    Workspace ws;
    const std::string rest = "0 0.500000 1.000000 0.000000 0.000000 0.000000 0.000000";
    ModelSlot& slot = Load(ws, ModelWithRestLines({rest, rest, rest}));
    MakeRestLinesUnique(slot);
    EXPECT_TRUE(slot.RestLinesAdjusted);
    EXPECT_EQ(RestLinesOf(slot), (std::vector<std::string>{rest, "0 0.500000 1.000000 0.000000 0.000000 0.000000 0.000001",
                                                           "0 0.500000 1.000000 0.000000 0.000000 0.000000 0.000002"}));
    EXPECT_EQ(slot.LoadedRestLines, (std::vector<std::string>{rest, rest, rest}));
}

TEST(RestLines, FlagsAreClearedBeforeRestLinesAreCompared) {
    // Flags 8 and 0 with the same pose are the same bone once the flags are gone.
    Workspace ws;
    ModelSlot& slot = Load(ws, ModelWithRestLines({"8 1.0 2.0 3.0 0.0 0.0 0.000000", "0 1.0 2.0 3.0 0.0 0.0 0.000000"}));
    MakeRestLinesUnique(slot);
    EXPECT_TRUE(slot.RestLinesAdjusted);
    EXPECT_EQ(slot.LoadedRestLines,
              (std::vector<std::string>{"0 1.0 2.0 3.0 0.0 0.0 0.000000", "0 1.0 2.0 3.0 0.0 0.0 0.000000"}));
    EXPECT_EQ(RestLinesOf(slot)[1], "0 1.0 2.0 3.0 0.0 0.0 0.000001");
}

TEST(RestLines, OuterBlanksAreStrippedBeforeComparingAndWrittenBackOnlyWhenAdjusted) {
    {
        // Equal once stripped: adjusted, and every rest line now holds its stripped text.
        Workspace ws;
        ModelSlot& slot = Load(ws, ModelWithRestLines({"0 1 2 3 4 5 6.000000  ", "0 1 2 3 4 5 6.000000", "0 9 9 9 9 9 9.5  "}));
        MakeRestLinesUnique(slot);
        EXPECT_TRUE(slot.RestLinesAdjusted);
        EXPECT_EQ(RestLinesOf(slot),
                  (std::vector<std::string>{"0 1 2 3 4 5 6.000000", "0 1 2 3 4 5 6.000001", "0 9 9 9 9 9 9.5"}));
        EXPECT_EQ(slot.LoadedRestLines,
                  (std::vector<std::string>{"0 1 2 3 4 5 6.000000", "0 1 2 3 4 5 6.000000", "0 9 9 9 9 9 9.5"}));
    }
    {
        // No duplicates: the lines keep their blanks, only the record is stripped.
        Workspace ws;
        ModelSlot& slot = Load(ws, ModelWithRestLines({"0 1 2 3 4 5 6.000000  ", "0 1 2 3 4 5 7.000000"}));
        MakeRestLinesUnique(slot);
        EXPECT_FALSE(slot.RestLinesAdjusted);
        EXPECT_EQ(RestLinesOf(slot), (std::vector<std::string>{"0 1 2 3 4 5 6.000000  ", "0 1 2 3 4 5 7.000000"}));
        EXPECT_EQ(slot.LoadedRestLines, (std::vector<std::string>{"0 1 2 3 4 5 6.000000", "0 1 2 3 4 5 7.000000"}));
    }
}

TEST(RestLines, SixCharacterCounterWrapsWithoutCarryAndShortTextsBecomeSixDigits) {
    EXPECT_EQ(NextRestLineText("0 1 2 3 4 5 6.000000"), "0 1 2 3 4 5 6.000001");
    EXPECT_EQ(NextRestLineText("0 1 2 3 4 5 6.999999"), "0 1 2 3 4 5 6.000000");
    EXPECT_EQ(NextRestLineText("0 1 2 3 4 5 6.123456"), "0 1 2 3 4 5 6.123457");
    EXPECT_EQ(NextRestLineText("12345"), "012346");
    EXPECT_EQ(NextRestLineText("999999"), "000000");
    EXPECT_EQ(NextRestLineText(""), "000001");
    EXPECT_EQ(NextRestLineText("abcdefgh"), "ab000001");
    // The six characters are read by the number rule: a sign counts, a letter stops.
    EXPECT_EQ(NextRestLineText("x-00002"), "x0000-1");
    EXPECT_EQ(NextRestLineText("x 0.5e0"), "x000001");

    Workspace ws;
    ModelSlot& slot = Load(ws, ModelWithRestLines({"0 0 0 0 0 0 1.999998", "0 0 0 0 0 0 1.999998", "0 0 0 0 0 0 1.999998",
                                                   "0 0 0 0 0 0 1.999998"}));
    MakeRestLinesUnique(slot);
    EXPECT_EQ(RestLinesOf(slot), (std::vector<std::string>{"0 0 0 0 0 0 1.999998", "0 0 0 0 0 0 1.999999",
                                                           "0 0 0 0 0 0 1.000000", "0 0 0 0 0 0 1.000001"}));
}

TEST(RestLines, AnAdjustedTextThatMeetsAnEarlierBoneIsAdjustedInTheNextPass) {
    // The third bone becomes ...1, equal to the first, which only a second pass sees.
    Workspace ws;
    ModelSlot& slot = Load(ws, ModelWithRestLines({"0 0 0 0 0 0 0.000001", "0 0 0 0 0 0 0.000000", "0 0 0 0 0 0 0.000000"}));
    MakeRestLinesUnique(slot);
    EXPECT_EQ(RestLinesOf(slot), (std::vector<std::string>{"0 0 0 0 0 0 0.000001", "0 0 0 0 0 0 0.000000",
                                                           "0 0 0 0 0 0 0.000002"}));
}

TEST(RestLines, LongChainOfNearDuplicatesSettlesAsEveryPairWouldSettle) {
    // ...N, ..., ...1, ...0, ...0: every pass moves the last bone one step up, so
    // comparing every pair takes N passes; no bound on the passes may cut it short.
    const int n = 12000;
    std::vector<std::string> rests;
    char text[64];
    for (int k = n; k >= 0; --k) {
        std::snprintf(text, sizeof text, "0 0 0 0 0 0 0.%06d", k);
        rests.push_back(text);
    }
    rests.push_back(rests.back());
    Workspace ws;
    ModelSlot& slot = Load(ws, ModelWithRestLines(rests));
    MakeRestLinesUnique(slot);
    std::snprintf(text, sizeof text, "0 0 0 0 0 0 0.%06d", n + 1);
    EXPECT_EQ(RestLinesOf(slot).back(), text);
    EXPECT_EQ(RestLinesOf(slot)[0], rests[0]);
}

TEST(RestLines, MoreIdenticalBonesThanSixDigitsCanTellApartDoNotHang) {
    // A bones section of nothing but quote lines: every other line is a bone whose
    // rest line is the next bone's name (the last one lacks its count line). The
    // rest lines can never all differ; the step must give up rather than run forever.
    const size_t bones = 1000003;
    std::string bytes = "// MilkShape 3D ASCII\r\nBones: 1\r\n";
    for (size_t i = 0; i < 2 * bones; ++i) bytes += "\"\r\n";
    Workspace ws;
    ModelSlot& slot = Load(ws, bytes);
    ASSERT_EQ(slot.BoneList.size(), bones - 1);
    MakeRestLinesUnique(slot);
    EXPECT_TRUE(slot.RestLinesAdjusted);
    EXPECT_EQ(slot.LoadedRestLines.size(), bones - 1);
    EXPECT_LE(slot.LineCount, ws.LineCapacity);
}

TEST(RestLines, ModelWithoutBonesHasNoRestLines) {
    Workspace ws;
    ModelSlot& slot = Load(ws, JoinLines({"// MilkShape 3D ASCII", "Frames: 1", "Frame: 1", "Bones: 0"}));
    MakeRestLinesUnique(slot);
    EXPECT_TRUE(slot.LoadedRestLines.empty());
    EXPECT_FALSE(slot.RestLinesAdjusted);
}

TEST(RestLines, GroupedPassEqualsComparingEveryPair) {
    std::mt19937 random(20260504);
    const std::vector<std::string> heads{"0 1.0 2.0 3.0 0.0 0.0 ", "0 0 0 0 0 0 ", "8 5 5 5 5 5 ", ""};
    const std::vector<std::string> tails{"0.000000", "0.000001", "0.000002", "0.000003", "0.999998", "0.999999",
                                         "1.000000", "999999",   "000001",   "7",        "",         "-00002",
                                         "$00001",   "%10"};
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 1500; ++round) {
        const size_t count = 1 + random() % 14;
        std::vector<std::string> rests;
        // Few distinct texts, so that most lists hold many duplicates.
        std::vector<std::string> pool;
        for (size_t k = 0, kinds = 1 + random() % 4; k < kinds; ++k) pool.push_back(pick(heads) + pick(tails));
        for (size_t b = 0; b < count; ++b) {
            std::string rest = pick(pool);
            if (random() % 8 == 0) rest = "  " + rest;
            if (random() % 8 == 0) rest += " ";
            rests.push_back(rest);
        }
        Workspace ws;
        ModelSlot& slot = Load(ws, ModelWithRestLines(rests));
        const std::vector<std::string> loaded = RestLinesOf(slot);
        std::vector<std::string> stripped;
        for (const std::string& r : loaded) stripped.emplace_back(StripBlanks(r));
        const LiteralOutcome expected = LiteralMakeUnique(stripped);
        ASSERT_TRUE(expected.settled);

        MakeRestLinesUnique(slot);
        SCOPED_TRACE("round " + std::to_string(round) + ": " + JoinLines(rests, " | "));
        EXPECT_EQ(slot.LoadedRestLines, stripped);
        EXPECT_EQ(slot.RestLinesAdjusted, expected.adjusted);
        EXPECT_EQ(RestLinesOf(slot), expected.adjusted ? expected.texts : loaded);
    }
}

TEST(RestLines, NextTextEqualsTheLiteralRuleOnOddTexts) {
    std::mt19937 random(7);
    const std::string alphabet = "0123456789 .-+$%abfF\t\"";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t k = 0, length = random() % 12; k < length; ++k) text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(NextRestLineText(text), LiteralNextText(text)) << "text: [" << text << "]";
    }
}

}  // namespace
}  // namespace vandrel
