// The commands as the window runs them, with their undo history, on two models
// of about 240,000 lines each on one skeleton of 60 bones (model 1 keyed at
// frames 1..2000 in every bone, model 2 at 2, 4, .., 4000): Cut of every other
// keyframe of model 1, the Clipboard's OK, Paste into model 2, Undo and Redo.
// Each command is timed alone, from a copy of the program taken before it.
//
// History holds the memory that 100 alternating cuts and pastes (one keyframe
// each) keep in their undo steps, beside the memory the two open models take.
//
//   build/bench/undo_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Commands.h"
#include "bench/BenchSupport.h"
#include "output/PrintSurface.h"
#include "tests/ModelGenerator.h"

namespace vandrel {
namespace {

constexpr int kBones = 60;
constexpr int kKeys = 2000;

// The resident memory of the process, in bytes.
double Resident() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(::sysconf(_SC_PAGESIZE));
}

struct Session {
    bench::ScratchFolder scratch{"vandrel-undo-bench"};
    const std::filesystem::path& folder = scratch.path;
    bench::QuietShell shell;
    double modelBytes = 0;  // what opening the two models took
    Program loaded, afterCut, afterEdit, afterPaste, afterUndo;

    Session() {
        const auto skeleton = test::Skeleton(kBones);
        std::vector<int> frames1, frames2;
        for (int f = 1; f <= kKeys; ++f) {
            frames1.push_back(f);
            frames2.push_back(2 * f);
        }
        std::ofstream(folder / "model1.txt", std::ios::binary)
            << test::FileText(test::FileLines(test::AnimatedModel(skeleton, frames1)));
        std::ofstream(folder / "model2.txt", std::ios::binary)
            << test::FileText(test::FileLines(test::AnimatedModel(skeleton, frames2)));

        loaded.SettingsFileName = (folder / "Vandrel.ini").string();
        StartUp(loaded, shell, false);
        const double before = Resident();
        for (int n : {1, 2}) {
            shell.path = (folder / ("model" + std::to_string(n) + ".txt")).string();
            HandleControl(loaded, shell, n == 1 ? ids::OpenButton1 : ids::OpenButton2);
        }
        modelBytes = Resident() - before;
        KeyframeTable& rows = loaded.ws.File(1).Rows;
        for (size_t r = 0; r < rows.size(); ++r) rows[r].Selected = r % 2 == 0;

        afterCut = loaded;
        HandleControl(afterCut, shell, ids::CutButton1);
        afterEdit = afterCut;
        afterEdit.window.controls[ids::AtField].text = "100001";
        HandleControl(afterEdit, shell, ids::ClipboardOkButton);
        afterPaste = afterCut;
        HandleControl(afterPaste, shell, ids::PasteButton2);
        afterUndo = afterPaste;
        HandleMenu(afterUndo, shell, menu::Undo);
    }
};

// Times `command` on a fresh copy of `start` in every iteration.
template <class Command>
void RunFrom(benchmark::State& state, const Program& start, Command command) {
    bench::TimeOnCopies(state, start, [&](Program& p) { command(p, bench::Once<Session>().shell); });
}

void Cut(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().loaded, [](Program& p, Shell& shell) { HandleControl(p, shell, ids::CutButton1); });
}

void EditOk(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterCut, [](Program& p, Shell& shell) {
        p.window.controls[ids::AtField].text = "100001";
        HandleControl(p, shell, ids::ClipboardOkButton);
    });
}

void Paste(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterCut, [](Program& p, Shell& shell) { HandleControl(p, shell, ids::PasteButton2); });
}

void Undo(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterPaste, [](Program& p, Shell& shell) { HandleMenu(p, shell, menu::Undo); });
}

void Redo(benchmark::State& state) {
    RunFrom(state, bench::Once<Session>().afterUndo, [](Program& p, Shell& shell) { HandleMenu(p, shell, menu::Redo); });
}

// 100 steps: one keyframe cut from model 1 and pasted into model 2, fifty times.
void History(benchmark::State& state) {
    Session& s = bench::Once<Session>();
    double historyBytes = 0, estimate = 0;
    for (auto _ : state) {
        auto p = std::make_unique<Program>(s.loaded);
        for (KeyframeRow& row : p->ws.File(1).Rows) row.Selected = false;
        const double before = Resident();
        for (int step = 0; step < 50; ++step) {
            KeyframeTable& rows = p->ws.File(1).Rows;
            for (KeyframeRow& row : rows) row.Selected = false;
            rows[size_t(step) * 7 % rows.size()].Selected = true;
            HandleControl(*p, s.shell, ids::CutButton1);
            HandleControl(*p, s.shell, ids::PasteButton2);
        }
        historyBytes = Resident() - before;
        estimate = double(p->history.Bytes());
        benchmark::DoNotOptimize(p->history.UndoSteps());
    }
    state.counters["modelsMB"] = s.modelBytes / (1 << 20);
    state.counters["historyMB"] = historyBytes / (1 << 20);
    state.counters["ratio"] = historyBytes / s.modelBytes;
    state.counters["estimateMB"] = estimate / (1 << 20);
}

BENCHMARK(Cut)->Unit(benchmark::kMillisecond);
BENCHMARK(EditOk)->Unit(benchmark::kMillisecond);
BENCHMARK(Paste)->Unit(benchmark::kMillisecond);
BENCHMARK(Undo)->Unit(benchmark::kMillisecond);
BENCHMARK(Redo)->Unit(benchmark::kMillisecond);
BENCHMARK(History)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace vandrel

BENCHMARK_MAIN();
