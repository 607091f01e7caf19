// Cut, edit and paste on two large models built on one skeleton of 60 bones.
// Model 1 has position and rotation keys at frames 1..K in every bone, model 2
// at frames 2, 4, .., 2K; K is the benchmark argument (2,000 gives about 240,000
// lines per model). Every other keyframe of model 1 (frames 1, 3, .., K - 1) is
// cut, edited and pasted into model 2, where its keys fall between the keys there.
//
//   build/bench/clipboard_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// CountLines and CopyLines are the baselines: counting the lines of the model's
// text (what "wc -l" does) and copying its line array once.
//
// Memory freed by one iteration is kept for the next (malloc is told not to give
// it back), so that every command finds the heap as a program does that has
// worked on its models for a while. Where the system zeroes fresh pages slowly,
// a first touch of new memory can cost more than the command itself and would
// make the figures depend on the order the benchmarks ran in; the column
// "faults" shows the minor page faults per command. --default_malloc leaves
// malloc as it is.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "clipboard/Clipboard.h"
#include "model/ModelReader.h"
#include "model/Text.h"
#include "tests/ModelGenerator.h"
#include "tests/TestSupport.h"

namespace vandrel {
namespace {

constexpr int kBones = 60;

// The workspaces every benchmark starts from, for one number of keys per bone.
struct Prepared {
    int keysPerBone = 0;
    std::string text1;    // the text of model 1
    Workspace loaded;     // both models open, every other row of file 1 selected
    Workspace afterCut;   // the selected rows cut from file 1
    Workspace afterPaste; // and pasted into file 2
};

std::unique_ptr<Prepared> Build(int keys) {
    auto p = std::make_unique<Prepared>();
    p->keysPerBone = keys;
    const std::vector<test::GenBone> skeleton = test::Skeleton(kBones);
    std::vector<int> frames1, frames2;
    for (int f = 1; f <= keys; ++f) {
        frames1.push_back(f);
        frames2.push_back(2 * f);
    }
    p->text1 = test::FileText(test::FileLines(test::AnimatedModel(skeleton, frames1)));

    test::OpenBytes(p->loaded, 1, p->text1);
    test::OpenBytes(p->loaded, 2, test::FileText(test::FileLines(test::AnimatedModel(skeleton, frames2))));

    KeyframeTable& rows = p->loaded.File(1).Rows;
    for (size_t r = 0; r < rows.size(); ++r) rows[r].Selected = r % 2 == 0;
    p->afterCut = p->loaded;
    CutToClipboard(p->afterCut, 1);
    p->afterPaste = p->afterCut;
    PasteFromClipboard(p->afterPaste, 2);
    return p;
}

// One model size at a time is kept: the large workspaces take memory.
const Prepared& PreparedFor(int keys) {
    static std::unique_ptr<Prepared> cached;
    if (!cached || cached->keysPerBone != keys) {
        cached.reset();
        cached = Build(keys);
    }
    return *cached;
}

// Runs `command` on a fresh copy of `start` in every iteration; only the command
// is timed. The copy is built anew, not assigned over the last one, so that its
// lines lie in memory in order as after an open.
long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Times `command` on a fresh copy of the prepared workspace `start` for the
// benchmark's key count.
template <class Command>
void RunOn(benchmark::State& state, Workspace Prepared::*startOf, Command command) {
    const Workspace& start = PreparedFor(int(state.range(0))).*startOf;
    std::unique_ptr<Workspace> ws;
    long faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws.reset();
        ws = std::make_unique<Workspace>(start);
        state.ResumeTiming();
        const long before = MinorFaults();
        command(*ws);
        faults += MinorFaults() - before;
        benchmark::DoNotOptimize(ws->File(1).LineCount);
    }
    state.counters["faults"] = benchmark::Counter(double(faults), benchmark::Counter::kAvgIterations);
    state.counters["lines1"] = double(start.File(1).LineCount);
    state.counters["lines2"] = double(start.File(2).LineCount);
}

void CountLines(benchmark::State& state) {
    const Prepared& p = PreparedFor(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(vandrel::SplitLines(p.text1).size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.text1.size()));
}

void CopyLines(benchmark::State& state) {
    const Prepared& p = PreparedFor(int(state.range(0)));
    for (auto _ : state) {
        vandrel::Lines lines = p.loaded.File(1).ModelLines;
        benchmark::DoNotOptimize(lines.Views().data());
    }
}

void Cut(benchmark::State& state) { RunOn(state, &Prepared::loaded, [](Workspace& ws) { CutToClipboard(ws, 1); }); }
void Copy(benchmark::State& state) { RunOn(state, &Prepared::loaded, [](Workspace& ws) { CopyToClipboard(ws, 1); }); }

// The Clipboard OK button: the edit, then the Clipboard's bone list is rebuilt.
void Edit(benchmark::State& state, const char* at, const char* stepwidth) {
    RunOn(state, &Prepared::afterCut, [&](Workspace& ws) {
        EditClipboard(ws, at, stepwidth, "");
        RebuildBoneList(ws.Clip);
    });
}

void EditMove(benchmark::State& state) { Edit(state, "100001", ""); }
void EditRenumber(benchmark::State& state) { Edit(state, "2", "3"); }
void EditReverse(benchmark::State& state) { Edit(state, "1", "-2"); }

// Every pasted key goes between two keys of file 2.
void Paste(benchmark::State& state) {
    RunOn(state, &Prepared::afterCut, [](Workspace& ws) { PasteFromClipboard(ws, 2); });
}

// The same paste again: every pasted key replaces one.
void PasteAgain(benchmark::State& state) {
    RunOn(state, &Prepared::afterPaste, [](Workspace& ws) { PasteFromClipboard(ws, 2); });
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond); }

BENCHMARK(CountLines)->Apply(Sizes);
BENCHMARK(CopyLines)->Apply(Sizes);
BENCHMARK(Cut)->Apply(Sizes);
BENCHMARK(Copy)->Apply(Sizes);
BENCHMARK(EditMove)->Apply(Sizes);
BENCHMARK(EditRenumber)->Apply(Sizes);
BENCHMARK(EditReverse)->Apply(Sizes);
BENCHMARK(Paste)->Apply(Sizes);
BENCHMARK(PasteAgain)->Apply(Sizes);

}  // namespace
}  // namespace vandrel

int main(int argc, char** argv) {
    bool defaultMalloc = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--default_malloc") == 0) defaultMalloc = true;
        else argv[kept++] = argv[i];
    }
    argc = kept;
    if (!defaultMalloc) {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest; line arrays come from the heap
        mallopt(M_TRIM_THRESHOLD, INT32_MAX);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
