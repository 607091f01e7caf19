// The preview's work for one frame on a generated model of 20,000 vertices on
// 60 bones, every bone keyed in position and rotation at every tenth of 200
// frames: the pose with the skinning of every vertex, and the picture as plain
// data (projection and clipping of the skeleton and of every triangle edge).
// Reading the model from its lines, which the preview does after each command,
// is measured too. At 60 frames per second a frame has 16.7 ms.
//
//   build/bench/preview_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// CopyVertices is the baseline: copying the rest positions of the vertices once.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/ModelReader.h"
#include "preview/PreviewDrawing.h"
#include "preview/PreviewPose.h"
#include "tests/ModelGenerator.h"

namespace vandrel {
namespace {

constexpr int kBones = 60;
constexpr int kVertices = 20000;
constexpr int kFrames = 200;

std::string Numbers(double a, double b, double c, double d) {
    char text[128];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f %.6f", a, b, c, d);
    return text;
}

// The model's lines: one mesh whose vertices go round the bones in turn, each
// vertex the corner of two triangles, then the keyed skeleton.
std::vector<std::string> ModelLines() {
    test::GenModel model = test::ModelWith(test::Skeleton(kBones));
    for (size_t b = 0; b < model.Bones.size(); ++b) {
        for (int f = 0; f <= kFrames; f += 10) {
            model.Bones[b].PositionKeys.push_back(Numbers(f, 0.01 * f, 0.02 * double(b), 0));
            model.Bones[b].RotationKeys.push_back(Numbers(f, 0.003 * f, 0.002 * double(b), 0.01 * f));
        }
    }
    std::vector<std::string> mesh{"// MilkShape 3D ASCII", "Meshes: 1", "\"body\" 0 0", std::to_string(kVertices)};
    for (int v = 0; v < kVertices; ++v) {
        char line[160];
        std::snprintf(line, sizeof line, "0 %.6f %.6f %.6f 0.5 0.5 %d", (v % 97) * 0.1, (v % 89) * 0.2,
                      (v % 83) * 0.05, v % kBones);
        mesh.push_back(line);
    }
    mesh.push_back("1");
    mesh.push_back("0 1 0");
    const int triangles = 2 * (kVertices - 2);
    mesh.push_back(std::to_string(triangles));
    for (int t = 0; t < triangles; ++t) {
        const int v = t / 2;
        mesh.push_back("0 " + std::to_string(v) + " " + std::to_string(v + 1 + t % 2) + " " + std::to_string(v + 2) +
                       " 0 0 0 1");
    }
    model.Header = mesh;
    return test::FileLines(model);
}

const Workspace& Loaded() {
    static const Workspace ws = [] {
        Workspace w;
        const std::string bytes = test::FileText(ModelLines());
        LoadModelText(w, 1, TextOf(bytes));
        return w;
    }();
    return ws;
}

const PreviewModel& Model() {
    static const PreviewModel model = ReadPreviewModel(Loaded(), PreviewSource::File1);
    return model;
}

void ReadModel(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadPreviewModel(Loaded(), PreviewSource::File1));
}
BENCHMARK(ReadModel)->Unit(benchmark::kMillisecond);

void CopyVertices(benchmark::State& state) {
    std::vector<glm::dvec3> copy;
    for (auto _ : state) {
        copy = Model().Vertices;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(CopyVertices)->Unit(benchmark::kMillisecond);

// One frame after the other, whole and halfway frames alike.
void PoseAndSkin(benchmark::State& state) {
    PreviewPose pose;
    double time = 0;
    for (auto _ : state) {
        PoseModel(Model(), time, pose);
        benchmark::DoNotOptimize(pose.Vertices.data());
        time = time >= kFrames ? 0 : time + 0.5;
    }
    state.counters["vertices"] = double(Model().Vertices.size());
    state.counters["bones"] = double(Model().Bones.size());
}
BENCHMARK(PoseAndSkin)->Unit(benchmark::kMillisecond);

void PoseSkinAndDraw(benchmark::State& state) {
    PreviewPose pose;
    double time = 0;
    size_t lines = 0;
    for (auto _ : state) {
        PoseModel(Model(), time, pose);
        const PreviewDrawing drawing = DrawPreview(Model(), pose, PreviewCamera{}, 640, 480, "1");
        lines = drawing.MeshLines.size();
        time = time >= kFrames ? 0 : time + 0.5;
    }
    state.counters["edges"] = double(Model().Edges.size());
    state.counters["lines"] = double(lines);
}
BENCHMARK(PoseSkinAndDraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vandrel

BENCHMARK_MAIN();
