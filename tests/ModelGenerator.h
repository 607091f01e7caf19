#pragma once
// MilkShape 3D ASCII models built in code for the Clipboard tests and benchmarks:
// a skeleton, per-bone key lists, the file text, and loading it the way the open
// command does. Header-only so that the benchmarks can use it as well.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "clipboard/Workspace.h"

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
        GenBone bone;
        bone.Name = "joint" + std::to_string(b);
        bone.Parent = b == 0 ? "" : "joint" + std::to_string(b - 1);
        char rest[128];
        std::snprintf(rest, sizeof rest, "0 %d.000000 %d.250000 0.000000 0.%06d 0.000000 0.000000", b, b % 7,
                      b * 1013 % 1000000);
        bone.Rest = rest;
        skeleton.push_back(bone);
    }
    return skeleton;
}

// The file's lines, first line first.
inline std::vector<std::string> FileLines(const GenModel& model) {
    std::vector<std::string> lines = model.Header;
    lines.push_back("Bones: " + std::to_string(model.Bones.size()));
    for (int i = 0; i < model.EmptyLinesAfterBonesLine; ++i) lines.emplace_back();
    for (const GenBone& bone : model.Bones) {
        lines.push_back("\"" + bone.Name + "\"");
        lines.push_back("\"" + bone.Parent + "\"");
        lines.push_back(bone.Rest);
        lines.push_back(std::to_string(bone.PositionKeys.size()));
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
    GenModel model;
    model.Bones = skeleton;
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
    auto randomFrames = [&](int percent) {
        std::vector<int> frames;
        for (int f = 1; f <= maxFrame; ++f)
            if (chance(percent)) frames.push_back(f);
        return frames;
    };
    GenModel model;
    model.Bones = skeleton;
    model.EmptyLinesAfterBonesLine = chance(30) ? int(rng() % 3) : 0;
    const int density = 10 + int(rng() % 60);
    for (size_t b = 0; b < skeleton.size(); ++b) {
        for (char kind : {'p', 'r'}) {
            std::vector<std::string>& keys = kind == 'p' ? model.Bones[b].PositionKeys : model.Bones[b].RotationKeys;
            for (int f : randomFrames(b == 0 && kind == 'p' ? density : density / 2 + 5))
                keys.push_back(KeyLine(f, int(b), kind, chance(15) ? int(rng() % 999999) + 1 : 0));
        }
    }
    if (chance(30)) model.Trailer = {"GroupComments: 0", "MaterialComments: 0", "BoneComments: 0", "ModelComment: 0"};
    return model;
}

// Opens the model text as file n of the workspace the way the open command does:
// the file is written to `path`, opened and its rest lines made unique.
inline void OpenModelText(Workspace& ws, int n, const std::string& path, const std::string& text) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot write " + path);
        out << text;
    }
    if (OpenModel(ws, n, path, {}) != OpenResult::Opened) throw std::runtime_error("cannot open " + path);
    MakeRestLinesUnique(ws.File(n));
}

inline void OpenModelLines(Workspace& ws, int n, const std::string& path, const std::vector<std::string>& lines) {
    OpenModelText(ws, n, path, FileText(lines));
}

// Lines 1 to LineCount of a line set.
inline std::vector<std::string> ValidLines(const LineSet& set) {
    std::vector<std::string> lines;
    for (int64_t i = 1; i <= set.LineCount; ++i) lines.emplace_back(LineAt(set, i));
    return lines;
}

inline std::vector<std::string> RowTexts(const KeyframeTable& rows) {
    std::vector<std::string> texts;
    for (const KeyframeRow& row : rows) texts.push_back(row.RowText);
    return texts;
}

inline std::vector<size_t> SelectedRows(const KeyframeTable& rows) {
    std::vector<size_t> selected;
    for (size_t r = 0; r < rows.size(); ++r)
        if (rows[r].Selected) selected.push_back(r);
    return selected;
}

// Selects exactly the given row positions.
inline void SelectRows(KeyframeTable& rows, const std::set<size_t>& positions) {
    for (size_t r = 0; r < rows.size(); ++r) rows[r].Selected = positions.count(r) > 0;
}

}  // namespace vandrel::test
