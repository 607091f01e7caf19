#pragma once
// MilkShape 3D ASCII models built in code for the property tests and the
// benchmarks: a skeleton, per-bone key lists and the file text.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace vandrel::test {

// One bone as it stands in the file.
struct GenBone {
    std::string Name;    // without quotes
    std::string Parent;  // without quotes, empty for a root
    std::string Rest;    // flags, position x y z, rotation x y z
    std::vector<std::string> PositionKeys;
    std::vector<std::string> RotationKeys;
};

struct GenModel {
    std::vector<std::string> Header{"// MilkShape 3D ASCII", "", "Frames: 30", "Frame: 1", "",
                                    "Meshes: 0", "", "Materials: 0", ""};
    int EmptyLinesAfterBonesLine = 0;
    std::vector<GenBone> Bones;
    std::vector<std::string> Trailer;  // lines after the last bone's keys
};

inline GenModel ModelWith(std::vector<GenBone> bones) {
    GenModel model;
    model.Bones = std::move(bones);
    return model;
}

// "12.000000", or "12.500000" with fraction 500000.
inline std::string TimeText(int frame, int fraction = 0) {
    char text[48];
    std::snprintf(text, sizeof text, "%d.%06d", frame, fraction);
    return text;
}

// A key line whose values tell its bone, kind ('p' or 'r') and frame apart, so
// that a key in the wrong place never looks right.
inline std::string KeyLine(int frame, int bone, char kind, int fraction = 0, int variant = 0) {
    char text[128];
    std::snprintf(text, sizeof text, "%s %d.%06d %d.%06d %d.000000", TimeText(frame, fraction).c_str(), bone,
                  kind == 'p' ? 100000 : 200000, frame, variant, kind == 'p' ? 1 : -1);
    return text;
}

// The bones of a skeleton with distinct rest lines, each the child of the one before.
inline std::vector<GenBone> Skeleton(int bones) {
    std::vector<GenBone> skeleton;
    for (int b = 0; b < bones; ++b) {
        char rest[128];
        std::snprintf(rest, sizeof rest, "0 %d.000000 %d.250000 0.000000 0.%06d 0.000000 0.000000", b, b % 7,
                      b * 1013 % 1000000);
        skeleton.push_back({"joint" + std::to_string(b), b == 0 ? "" : "joint" + std::to_string(b - 1), rest, {}, {}});
    }
    return skeleton;
}

// The file's lines, first line first.
inline std::vector<std::string> FileLines(const GenModel& model) {
    std::vector<std::string> lines = model.Header;
    lines.push_back("Bones: " + std::to_string(model.Bones.size()));
    lines.insert(lines.end(), size_t(model.EmptyLinesAfterBonesLine), "");
    for (const GenBone& bone : model.Bones) {
        lines.insert(lines.end(), {"\"" + bone.Name + "\"", "\"" + bone.Parent + "\"", bone.Rest,
                                   std::to_string(bone.PositionKeys.size())});
        lines.insert(lines.end(), bone.PositionKeys.begin(), bone.PositionKeys.end());
        lines.push_back(std::to_string(bone.RotationKeys.size()));
        lines.insert(lines.end(), bone.RotationKeys.begin(), bone.RotationKeys.end());
    }
    lines.insert(lines.end(), model.Trailer.begin(), model.Trailer.end());
    return lines;
}

inline std::string FileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Every bone keyed at every frame of `frames`, both kinds.
inline GenModel AnimatedModel(const std::vector<GenBone>& skeleton, const std::vector<int>& frames) {
    GenModel model = ModelWith(skeleton);
    for (size_t b = 0; b < skeleton.size(); ++b) {
        for (int f : frames) {
            model.Bones[b].PositionKeys.push_back(KeyLine(f, int(b), 'p'));
            model.Bones[b].RotationKeys.push_back(KeyLine(f, int(b), 'r'));
        }
    }
    return model;
}

// A model on `skeleton` whose key lists are ascending with one key per frame.
// The first bone's position keys are the keyframes; other bones and kinds are
// keyed at random frames, some inside and some outside that set, some with a
// fraction. Some models have empty lines after "Bones:" and lines after the
// last bone whose frame number is 0.
inline GenModel RandomAnimatedModel(std::mt19937& rng, const std::vector<GenBone>& skeleton, int maxFrame = 40) {
    auto chance = [&](int percent) { return int(rng() % 100) < percent; };
    GenModel model = ModelWith(skeleton);
    model.EmptyLinesAfterBonesLine = chance(30) ? int(rng() % 3) : 0;
    const int density = 10 + int(rng() % 60);
    for (size_t b = 0; b < skeleton.size(); ++b) {
        for (char kind : {'p', 'r'}) {
            std::vector<std::string>& keys = kind == 'p' ? model.Bones[b].PositionKeys : model.Bones[b].RotationKeys;
            const int percent = b == 0 && kind == 'p' ? density : density / 2 + 5;
            std::vector<int> frames;
            for (int f = 1; f <= maxFrame; ++f)
                if (chance(percent)) frames.push_back(f);
            for (int f : frames) keys.push_back(KeyLine(f, int(b), kind, chance(15) ? int(rng() % 999999) + 1 : 0));
        }
    }
    if (chance(30)) model.Trailer = {"GroupComments: 0", "MaterialComments: 0", "BoneComments: 0", "ModelComment: 0"};
    return model;
}

}  // namespace vandrel::test
