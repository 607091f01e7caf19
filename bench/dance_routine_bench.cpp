// A dance routine and the character it animates, as the window works on them: a
// bones-only file of 19 bones with 5,150 position and 5,150 rotation keys each
// (about 103,000 lines, 4 MB; times with fractions such as 2.333333) and a
// character model of the same skeleton, its rest lines spelled otherwise, with
// 3,000 vertices and no keys. Timed alone, from a copy of the program taken
// before each: the open of the routine, a Cut of 1,000 selected rows of it, the
// Clipboard's OK moving them, and the Paste into the character, each with its
// undo step and the window's refresh; then the preview's frame of the routine
// drawn on the character (reading the model after a command, and posing,
// skinning and drawing one frame: 16.7 ms at 60 frames a second).
//
//   build/bench/dance_routine_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Commands.h"
#include "bench/BenchSupport.h"
#include "preview/GlPreview.h"
#include "preview/PreviewPose.h"

namespace vandrel {
namespace {

// Bones, keys per bone, vertices of the mesh, rows cut.
constexpr int kBones = 19, kKeys = 5150, kVertices = 3000, kSelected = 1000;

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

// Bone b's rest line: position (0, b, 0), no rotation; the routine writes it
// "%.6f", the character as plain integers.
std::string RestLine(int b, bool sixDecimals) {
    return sixDecimals ? Format("8 0.000000 %.6f 0.000000 0.000000 -0.000000 0.000000", b)
                       : Format("0 0 %.0f 0 0 -0 0", b);
}

void Bone(std::ofstream& out, int b, bool sixDecimals, bool keyed) {
    out << "\"bone" << b << "\"\r\n\"" << (b == 0 ? std::string() : "bone" + std::to_string(b - 1)) << "\"\r\n"
        << RestLine(b, sixDecimals) << "\r\n";
    for (int kind = 0; kind < 2; ++kind) {
        out << (keyed ? kKeys : 0) << "\r\n";
        for (int k = 1; keyed && k <= kKeys; ++k)
            out << Format("%.6f %.6f %.6f %.6f", k + (k % 3) / 3.0, 0.01 * (k % 40), 0.02 * b, 0.001 * k) << "\r\n";
    }
}

void WriteRoutine(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "Bones: " << kBones << "\r\n";
    for (int b = 0; b < kBones; ++b) Bone(out, b, true, true);
}

void WriteCharacter(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "// MilkShape 3D ASCII\r\n\r\nFrames: 30\r\nFrame: 1\r\n\r\nMeshes: 1\r\n\"body\" 0 0\r\n" << kVertices << "\r\n";
    for (int v = 0; v < kVertices; ++v)
        out << Format("0 %.6f %.6f %.6f 0.5 0.5 ", (v % 13) * 0.1, (v % kBones) + (v % 7) * 0.1, (v % 11) * 0.05)
            << v % kBones << "\r\n";
    const int triangles = 2 * (kVertices - 2);
    out << "1\r\n0.000000 1.000000 0.000000\r\n" << triangles << "\r\n";
    for (int t = 0; t < triangles; ++t)
        out << "0 " << t / 2 << " " << t / 2 + 1 + t % 2 << " " << t / 2 + 2 << " 0 0 0 1\r\n";
    out << "\r\nMaterials: 0\r\n\r\nBones: " << kBones << "\r\n";
    for (int b = 0; b < kBones; ++b) Bone(out, b, false, false);
}

struct Session {
    bench::ScratchFolder scratch{"vandrel-dance-bench"};
    const std::filesystem::path& folder = scratch.path;
    bench::QuietShell shell;
    Program start, loaded, afterCut, afterEdit;

    void Open(Program& p, int n, const char* name) {
        shell.path = (folder / name).string();
        HandleControl(p, shell, n == 1 ? ids::OpenButton1 : ids::OpenButton2);
    }

    Session() {
        WriteRoutine(folder / "dance.bones.txt");
        WriteCharacter(folder / "character.txt");
        start.SettingsFileName = (folder / "Vandrel.ini").string();
        StartUp(start, shell, false);
        Open(start, 1, "character.txt");
        loaded = start;
        Open(loaded, 2, "dance.bones.txt");
        KeyframeTable& rows = loaded.ws.File(2).Rows;
        for (size_t r = 0; r < rows.size(); ++r) rows[r].Selected = r >= 2000 && r < 2000 + kSelected;
        afterCut = loaded;
        HandleControl(afterCut, shell, ids::CutButton2);
        afterEdit = afterCut;
        afterEdit.window.controls[ids::AtField].text = "1";
        HandleControl(afterEdit, shell, ids::ClipboardOkButton);
    }
};

template <class Command>
void RunFrom(benchmark::State& state, const Program& start, Command command) {
    Session& s = bench::Once<Session>();
    bench::TimeOnCopies(state, start, command);
    state.counters["rows"] = double(s.loaded.ws.File(2).Rows.size());
    state.counters["lines"] = double(s.loaded.ws.File(2).LineCount);
}

void OpenRoutine(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().start, [](Program& p) { bench::Once<Session>().Open(p, 2, "dance.bones.txt"); });
}

void Cut(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().loaded, [](Program& p) { HandleControl(p, bench::Once<Session>().shell, ids::CutButton2); });
}

void EditOk(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterCut, [](Program& p) {
        p.window.controls[ids::AtField].text = "1";
        HandleControl(p, bench::Once<Session>().shell, ids::ClipboardOkButton);
    });
}

void PasteIntoCharacter(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterEdit, [](Program& p) { HandleControl(p, bench::Once<Session>().shell, ids::PasteButton1); });
}

// The routine in File 2 drawn on the character's meshes.
void PreviewReadModel(benchmark::State& state) {
    const Workspace& ws = bench::Once<Session>().loaded.ws;
    for (auto _ : state) benchmark::DoNotOptimize(ReadPreviewModel(ws, PreviewSource::File2));
}

void PreviewFrame(benchmark::State& state) {
    const PreviewModel model = ReadPreviewModel(bench::Once<Session>().loaded.ws, PreviewSource::File2);
    const PreviewBounds bounds = AnimationBounds(model);
    const PreviewMatrices view = FrameView(bounds, PreviewCamera{}, 1280, 720);
    GlPreviewRenderer renderer;
    PreviewLook look;
    look.Skeleton = look.Grid = true;
    PreviewPose pose;
    double time = 1;
    for (auto _ : state) {
        PoseModel(model, time, pose);
        benchmark::DoNotOptimize(renderer.Draw(model, pose, view, look, bounds, 1280, 720).Pixels.data());
        time = time >= kKeys ? 1 : time + 0.5;
    }
    state.counters["vertices"] = double(model.Vertices.size());
}

BENCHMARK(OpenRoutine)->Unit(benchmark::kMillisecond);
BENCHMARK(Cut)->Unit(benchmark::kMillisecond);
BENCHMARK(EditOk)->Unit(benchmark::kMillisecond);
BENCHMARK(PasteIntoCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewReadModel)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vandrel

BENCHMARK_MAIN();
