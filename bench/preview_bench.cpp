// The preview's work for one frame on a generated model of 20,000 triangles
// (a sheet of 101 x 101 vertices in bands, each band on one of 60 bones of a
// spine that bends to and fro), every bone keyed at every tenth of 200 frames,
// with a textured material: the pose with the skinning of every vertex and
// normal, and the picture drawn with OpenGL (Mesa's llvmpipe, no GPU) at
// 1280x720, solid and textured, with the skeleton and the grid; "covered" is
// the share of the picture the model covers. Reading the model from its lines, which the preview
// does after each command, and the bounds of the whole animation are measured
// too. At 60 frames per second a frame has 16.7 ms.
//
//   build/bench/preview_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// CopyVertices is the baseline: copying the rest positions of the vertices once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "model/ModelReader.h"
#include "preview/GlPreview.h"
#include "preview/PreviewPose.h"
#include "tests/ModelGenerator.h"

namespace vandrel {
namespace {

constexpr int kBones = 60;
constexpr int kSide = 101;  // vertices along each side of the sheet: 2 x 100 x 100 triangles
constexpr int kFrames = 200;

std::string Numbers(double a, double b, double c, double d) {
    char text[128];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f %.6f", a, b, c, d);
    return text;
}

// The model's lines: one mesh, a sheet in bands of rows, each band on a bone
// (as the parts of a body are), its triangles facing the front, one material
// with a texture; then the keyed skeleton.
std::vector<std::string> ModelLines() {
    // A spine of bones up the middle of the sheet, each bending a little to and fro.
    std::vector<test::GenBone> spine;
    for (int b = 0; b < kBones; ++b) {
        char rest[96];
        std::snprintf(rest, sizeof rest, "0 %.6f %.6f 0.000000 0.000000 0.000000 0.000000", b == 0 ? 5.0 : 0.0,
                      b == 0 ? 0.0 : 10.0 / kBones);
        spine.push_back({"joint" + std::to_string(b), b == 0 ? "" : "joint" + std::to_string(b - 1), rest, {}, {}});
    }
    test::GenModel model = test::ModelWith(spine);
    for (size_t b = 0; b < model.Bones.size(); ++b) {
        for (int f = 0; f <= kFrames; f += 10) {
            model.Bones[b].PositionKeys.push_back(Numbers(f, 0, 0, 0));
            model.Bones[b].RotationKeys.push_back(Numbers(f, 0.02 * std::sin(f * 0.1 + b), 0.01 * std::cos(f * 0.05), 0.015 * std::sin(f * 0.07 + b * 0.3)));
        }
    }
    std::vector<std::string> mesh{"// MilkShape 3D ASCII", "Meshes: 1", "\"body\" 0 0", std::to_string(kSide * kSide)};
    for (int v = 0; v < kSide * kSide; ++v) {
        char line[160];
        std::snprintf(line, sizeof line, "0 %.6f %.6f %.6f %.6f %.6f %d", (v % kSide) * 0.1, (v / kSide) * 0.1,
                      (v % 7) * 0.01, double(v % kSide) / kSide, double(v / kSide) / kSide, v / kSide * kBones / kSide);
        mesh.push_back(line);
    }
    mesh.push_back("1");
    mesh.push_back("0 0 1");
    mesh.push_back(std::to_string(2 * (kSide - 1) * (kSide - 1)));
    for (int y = 0; y + 1 < kSide; ++y) {
        for (int x = 0; x + 1 < kSide; ++x) {
            const int a = y * kSide + x;
            mesh.push_back("0 " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + kSide + 1) + " 0 0 0 1");
            mesh.push_back("0 " + std::to_string(a) + " " + std::to_string(a + kSide + 1) + " " + std::to_string(a + kSide) + " 0 0 0 1");
        }
    }
    mesh.insert(mesh.end(), {"Materials: 1", "\"skin\"", "0.2 0.2 0.2 1", "0.8 0.7 0.6 1", "0 0 0 1", "0 0 0 1", "0",
                             "1", "\"skin.png\"", "\"\""});
    model.Header = mesh;
    return test::FileLines(model);
}

const Workspace& Loaded() {
    static const Workspace ws = [] {
        Workspace w;
        const std::string bytes = test::FileText(ModelLines());
        LoadModel(w, 1, bytes);
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

// A 256 x 256 checker as the material's texture.
PreviewTextures Checker() {
    auto texture = std::make_shared<PreviewTexture>();
    texture->Width = texture->Height = 256;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t v = ((x / 32 + y / 32) % 2) ? 230 : 60;
            texture->Pixels.insert(texture->Pixels.end(), {v, uint8_t(255 - v), 128, 255});
        }
    return {texture};
}

void AnimationBoundsOfModel(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(AnimationBounds(Model()));
}
BENCHMARK(AnimationBoundsOfModel)->Unit(benchmark::kMillisecond);

// One frame after the other, as the window plays them.
void PoseSkinAndDraw(benchmark::State& state) {
    GlPreviewRenderer renderer;
    if (!renderer.Ready()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    renderer.SetTextures(Checker());
    const PreviewBounds bounds = AnimationBounds(Model());
    PreviewLook look;
    look.Skeleton = look.Grid = true;
    const PreviewMatrices view = FrameView(bounds, PreviewCamera{}, 1280, 720);
    PreviewPose pose;
    double time = 0;
    for (auto _ : state) {
        PoseModel(Model(), time, pose);
        benchmark::DoNotOptimize(renderer.Draw(Model(), pose, view, look, bounds, 1280, 720).Pixels.data());
        time = time >= kFrames ? 0 : time + 0.5;
    }
    size_t triangles = 0, covered = 0;
    for (const PreviewMesh& mesh : Model().Meshes) triangles += mesh.Triangles.size() / 3;
    // The share of the picture the model covers, in the last frame.
    const RgbaPicture& last = renderer.Draw(Model(), pose, view, PreviewLook{}, bounds, 1280, 720);
    for (size_t p = 0; p < last.Pixels.size(); p += 4) covered += last.Pixels[p] != last.Pixels[0] || last.Pixels[p + 1] != last.Pixels[1];
    state.counters["covered"] = double(covered) / double(last.Pixels.size() / 4);
    state.counters["triangles"] = double(triangles);
    state.counters["bones"] = double(Model().Bones.size());
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(PoseSkinAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vandrel

BENCHMARK_MAIN();
