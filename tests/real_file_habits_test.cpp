// Models as the files in the wild are written, through the window's commands:
// without the header comment, bones only, bones keyed at different frames,
// rotation keys where no position key is, several keys in one frame, times
// without a point and "Frames:" above or below the last key. A plain save keeps
// every key line and the "Frames:" line; keys moved with the Clipboard play as
// the originals did.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "TestSupport.h"
#include "app/Commands.h"
#include "model/IntegerValue.h"
#include "model/Text.h"
#include "preview/PreviewPose.h"

namespace vandrel {
namespace {

int Pick(std::mt19937& rng, int low, int high) { return low + int(rng() % unsigned(high - low + 1)); }
bool Chance(std::mt19937& rng, int percent) { return Pick(rng, 0, 99) < percent; }

// A generated file: its lines, which of them are key lines and the last key's frame.
struct HabitModel {
    std::vector<std::string> lines;
    std::set<size_t> keyLines;  // 0-based
    int lastFrame = 0;
};

// A rest pose spelled as some exporter would: "%.6f", plain integers or one decimal.
std::string Number(std::mt19937& rng, int value) {
    switch (Pick(rng, 0, 2)) {
        case 0: return std::to_string(value) + ".000000";
        case 1: return std::to_string(value);
        default: return std::to_string(value) + ".0";
    }
}

// The keys of one list: ascending frames, now and then two or three keys in one
// frame (1.0, 1.333333, 1.666667), a key before frame 1, a time without a point.
std::vector<std::pair<int, std::string>> KeyTimes(std::mt19937& rng, int lastFrame) {
    std::vector<std::pair<int, std::string>> times;
    if (Chance(rng, 25)) times.emplace_back(0, "0.750000");
    for (int f = 1; f <= lastFrame; ++f) {
        if (!Chance(rng, 20)) continue;
        switch (Pick(rng, 0, 5)) {
            case 0: times.emplace_back(f, std::to_string(f)); break;
            case 1: times.emplace_back(f, std::to_string(f) + ".400000"); break;
            case 2:
                for (const char* part : {".000000", ".333333", ".666667"}) times.emplace_back(f, std::to_string(f) + part);
                break;
            default: times.emplace_back(f, std::to_string(f) + ".000000"); break;
        }
    }
    return times;
}

HabitModel Generate(std::mt19937& rng) {
    HabitModel m;
    const int kind = Pick(rng, 0, 3);  // 0 header, 1 no header, 2 comments first, 3 bones only
    const int bones = Pick(rng, 1, 5), span = Pick(rng, 5, 60);
    std::vector<std::string> section{"Bones: " + std::to_string(bones)};
    std::vector<size_t> keysInSection;
    for (int b = 0; b < bones; ++b) {
        section.push_back("\"bone " + std::to_string(b) + "\"");
        section.push_back(b == 0 ? "\"\"" : "\"bone " + std::to_string(b - 1) + "\"");
        section.push_back((Chance(rng, 30) ? "8 " : "0 ") + Number(rng, b) + " " + Number(rng, 1) + " " +
                          Number(rng, 0) + " " + Number(rng, 0) + " " + Number(rng, 0) + " " + Number(rng, -b));
        for (int list = 0; list < 2; ++list) {
            const auto times = KeyTimes(rng, span);
            section.push_back(std::to_string(times.size()));
            for (const auto& [frame, time] : times) {
                keysInSection.push_back(section.size());
                section.push_back(time + " 0." + std::to_string(Pick(rng, 0, 9)) + " " + std::to_string(list) + " " +
                                  std::to_string(frame % 7));
                m.lastFrame = std::max(m.lastFrame, frame);
            }
        }
    }
    if (kind == 2) m.lines = {"// dance routine", "// exported by a script", ""};
    if (kind == 0) m.lines = {"// MilkShape 3D ASCII", ""};
    if (kind != 3) {
        const int frames = Chance(rng, 50) ? m.lastFrame + Pick(rng, 0, 20) : Pick(rng, 1, std::max(1, m.lastFrame));
        // Some exporters begin with "Meshes:".
        if (kind != 1 || Chance(rng, 50)) m.lines.insert(m.lines.end(), {"Frames: " + std::to_string(frames), "Frame: 1", ""});
        if (kind != 2) m.lines.insert(m.lines.end(), {"Meshes: 1", "\"body\" 0 0", "1",
                                                      "0 0.000000 1.000000 0.000000 0.000000 0.000000 0", "0", "0",
                                                      "", "Materials: 0", ""});
    }
    const size_t offset = m.lines.size();
    m.lines.insert(m.lines.end(), section.begin(), section.end());
    for (size_t k : keysInSection) m.keyLines.insert(offset + k);
    return m;
}

// The line the writer must give a key line: a time without a point and a frame
// above 0 gets ".000000".
std::string WrittenKeyLine(const std::string& line) {
    const size_t blank = line.find(' ');
    const std::string time = line.substr(0, blank);
    return time.find('.') == std::string::npos && std::stoi(time) > 0 ? time + ".000000" + line.substr(blank) : line;
}

class RealFileHabits : public ::testing::Test {
protected:
    RealFileHabits() { p.SettingsFileName = dir / "Vandrel.ini"; StartUp(p, shell, false); }

    void Open(int n, const std::string& path) {
        shell.openAnswers.push_back(path);
        ASSERT_TRUE(HandleControl(p, shell, n == 1 ? ids::OpenButton1 : ids::OpenButton2));
        ASSERT_TRUE(shell.messages.empty()) << shell.messages[0].text;
    }

    test::TempDir dir;
    Program p;
    test::ScriptedShell shell;
};

TEST_F(RealFileHabits, APlainSaveWritesEveryKeyLineAndTheFramesLineAsRead) {
    for (unsigned seed = 0; seed < 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        const HabitModel model = Generate(rng);
        const std::string path = dir / "model.txt";
        test::WriteFile(path, test::JoinLines(model.lines, Chance(rng, 50) ? "\r\n" : "\n"));
        Open(1, path);
        ASSERT_TRUE(HandleControl(p, shell, ids::SaveButton1));
        const std::string written = test::ReadFile(path);
        std::vector<std::string> lines;
        ForEachLine(written, [&](std::string_view line) { lines.emplace_back(line); });
        ASSERT_EQ(lines.size(), model.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (model.keyLines.count(i)) {
                EXPECT_EQ(lines[i], WrittenKeyLine(model.lines[i])) << "line " << i + 1;
            } else if (model.lines[i].rfind("Frames:", 0) == 0) {
                EXPECT_EQ(lines[i], model.lines[i]);
            }
        }
    }
}

// The keyed transform of bone b: its matrix with its parent's and its rest pose taken off.
glm::dmat4 KeyedMatrix(const PreviewModel& model, const PreviewPose& pose, size_t b) {
    const PreviewBone& bone = model.Bones[b];
    const glm::dmat4 above = bone.Parent >= 0 ? pose.BoneMatrices[size_t(bone.Parent)] * bone.LocalRest : bone.LocalRest;
    return glm::inverse(above) * pose.BoneMatrices[b];
}

// The first key of a list that a row takes (frame 1 or later), or none.
std::optional<double> FirstTakenKey(const std::vector<PreviewKey>& keys) {
    for (const PreviewKey& key : keys)
        if (key.Frame != 0) return key.Time;
    return std::nullopt;
}

TEST_F(RealFileHabits, KeysCopiedMovedAndPastedPlayAsTheOriginals) {
    for (unsigned seed = 0; seed < 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(1000 + seed);
        const HabitModel model = Generate(rng);
        const std::string original = dir / "original.txt", copy = dir / "copy.txt";
        test::WriteFile(original, test::JoinLines(model.lines));
        test::WriteFile(copy, test::JoinLines(model.lines));
        Open(1, original);
        Open(2, copy);
        if (p.ws.File(1).Rows.empty()) continue;
        for (KeyframeRow& row : p.ws.File(1).Rows) row.Selected = true;
        const int first = Int32(IntegerValue(p.ws.File(1).Rows[0].RowText));
        ASSERT_TRUE(HandleControl(p, shell, ids::CopyButton1));
        p.window.controls[ids::AtField].text = "1000";
        ASSERT_TRUE(HandleControl(p, shell, ids::ClipboardOkButton));
        ASSERT_TRUE(HandleControl(p, shell, ids::PasteButton2));

        const PreviewModel before = ReadPreviewModel(p.ws, PreviewSource::File1);
        const PreviewModel after = ReadPreviewModel(p.ws, PreviewSource::File2);
        ASSERT_EQ(before.Bones.size(), after.Bones.size());
        const double shift = 1000 - first;
        const double last = KeyTimeRange(before)->second;
        for (size_t b = 0; b < before.Bones.size(); ++b) {
            const std::optional<double> position = FirstTakenKey(before.Bones[b].PositionKeys);
            const std::optional<double> rotation = FirstTakenKey(before.Bones[b].RotationKeys);
            for (double t = std::min(position.value_or(last), rotation.value_or(last)); t <= last; t += 0.25) {
                const glm::dmat4 was = KeyedMatrix(before, PoseModel(before, t), b);
                const glm::dmat4 is = KeyedMatrix(after, PoseModel(after, t + shift), b);
                for (int r = 0; r < 3; ++r) {
                    if (position && t >= *position) {
                        EXPECT_NEAR(is[3][r], was[3][r], 1e-6) << "bone " << b << " at " << t;
                    }
                    for (int c = 0; rotation && t >= *rotation && c < 3; ++c) {
                        EXPECT_NEAR(is[c][r], was[c][r], 1e-6) << "bone " << b << " at " << t;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace vandrel
