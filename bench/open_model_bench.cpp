// Opening a large model beside `wc -l` on the same file, in one run.
//
// The model has about 1,000,000 lines: one mesh with several hundred thousand
// vertex lines, its normals and triangles, and a skeleton of 50 bones with many
// position and rotation keys. The open runs as the open command runs it:
// OpenModel (the whole load, rest lines included) and the compatibility count. At the end
// the report gives the ratios to `wc -l`; the goal for reopening is below 10.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/Compatibility.h"
#include "clipboard/Workspace.h"
#include "model/ModelReader.h"

extern char** environ;

namespace {

constexpr int kVertices = 400000;
constexpr int kNormals = 200000;
constexpr int kTriangles = 330000;
constexpr int kBones = 50;
constexpr int kKeysPerBone = 600;  // of each kind

std::string Fixed(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

// Writes the model with CR LF line ends, as MilkShape and Vandrel write it.
void WriteLargeModel(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string text;
    auto line = [&](const std::string& s) {
        text += s;
        text += "\r\n";
        if (text.size() > (1 << 20)) {
            out << text;
            text.clear();
        }
    };
    line("// MilkShape 3D ASCII");
    line("");
    line("Frames: " + std::to_string(kKeysPerBone));
    line("Frame: 1");
    line("");
    line("Meshes: 1");
    line("\"terrain\" 0 0");
    line(std::to_string(kVertices));
    for (int v = 0; v < kVertices; ++v) {
        // Every fourth vertex repeats an earlier position, as shared corners do.
        const int p = v % 4 == 3 ? v - 3 : v;
        line("0 " + Fixed(p % 1000 * 0.25) + " " + Fixed(p / 1000 * 0.5) + " " + Fixed((p % 7) * 0.125) + " " +
             Fixed((v % 100) / 100.0) + " " + Fixed((v % 37) / 37.0) + " " + std::to_string(v % kBones));
    }
    line(std::to_string(kNormals));
    for (int n = 0; n < kNormals; ++n)
        line(Fixed((n % 3) / 3.0) + " " + Fixed((n % 5) / 5.0) + " " + Fixed((n % 11) / 11.0));
    line(std::to_string(kTriangles));
    for (int t = 0; t < kTriangles; ++t)
        line("0 " + std::to_string(t % kVertices) + " " + std::to_string((t + 1) % kVertices) + " " +
             std::to_string((t + 2) % kVertices) + " " + std::to_string(t % kNormals) + " " +
             std::to_string((t + 1) % kNormals) + " " + std::to_string((t + 2) % kNormals) + " 1");
    line("");
    line("Materials: 1");
    line("\"ground\"");
    for (int i = 0; i < 4; ++i) line("0.800000 0.800000 0.800000 1.000000");
    line("0.000000");
    line("1.000000");
    line("\"textures\\ground.png\"");
    line("\"\"");
    line("");
    line("Bones: " + std::to_string(kBones));
    for (int b = 0; b < kBones; ++b) {
        line("\"bone" + std::to_string(b) + "\"");
        line(b == 0 ? "\"\"" : "\"bone" + std::to_string(b - 1) + "\"");
        // Pairs of bones share a rest pose, so the rest-line step has work to do.
        line("8 " + Fixed(b / 2 * 0.5) + " 1.000000 0.000000 0.000000 0.000000 0.000000");
        for (int kind = 0; kind < 2; ++kind) {
            line(std::to_string(kKeysPerBone));
            for (int k = 1; k <= kKeysPerBone; ++k)
                line(Fixed(k) + " " + Fixed((k % 17) * 0.01) + " " + Fixed((b % 5) * 0.02) + " " +
                     Fixed(kind * 0.5));
        }
    }
    line("GroupComments: 0");
    line("MaterialComments: 0");
    line("BoneComments: 0");
    line("ModelComment: 0");
    out << text;
}

class LargeModel {
public:
    LargeModel() {
        folder_ = std::filesystem::temp_directory_path() / ("vandrel-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "large.txt").string();
        WriteLargeModel(path_);
    }
    ~LargeModel() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

const std::string& LargeModelPath() {
    static LargeModel model;
    return model.path();
}

// The open command's model work: OpenModel (the whole load), the compatibility count.
bool OpenAsTheCommandDoes(vandrel::Workspace& ws, const std::string& path) {
    if (vandrel::OpenModel(ws, 1, path, nullptr) != vandrel::OpenResult::Opened) return false;
    ws.CompatibleCount = vandrel::CountCompatibleBones(ws.File(1), ws.File(2));
    return ws.File(1).LineCount > 0;
}

// Opening the model again and again into File 1, as a user reopens a file.
void BM_OpenLargeModel(benchmark::State& state) {
    const std::string& path = LargeModelPath();
    vandrel::Workspace ws;
    for (auto _ : state) {
        if (!OpenAsTheCommandDoes(ws, path)) {
            state.SkipWithError("the model was not opened");
            break;
        }
    }
    state.counters["lines"] = ws.File(1).LineCount;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_OpenLargeModel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The first open of a program run: the three line arrays grow from nothing, and
// all memory is new to the process (freed memory is handed back to the system
// between iterations), so the cost of fresh pages is part of the time.
void BM_FirstOpenLargeModel(benchmark::State& state) {
    const std::string& path = LargeModelPath();
    for (auto _ : state) {
        auto ws = std::make_unique<vandrel::Workspace>();
        if (!OpenAsTheCommandDoes(*ws, path)) {
            state.SkipWithError("the model was not opened");
            break;
        }
        state.PauseTiming();
        ws.reset();
#ifdef __GLIBC__
        malloc_trim(0);
#endif
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstOpenLargeModel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Runs a program to its end with its output thrown away; false when it failed.
// Its peak memory (kilobytes) goes to `maxResidentKb`.
bool RunChild(std::vector<std::string> words, const std::string& folder, long& maxResidentKb) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    if (spawned != 0 || ::wait4(child, &status, 0, &usage) < 0) return false;
    maxResidentKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The baseline: `wc -l` as a child process reading the same file.
void BM_WcLines(benchmark::State& state) {
    const std::string& path = LargeModelPath();
    long peak = 0;
    for (auto _ : state) {
        if (!RunChild({"wc", "-l", path}, "", peak)) {
            state.SkipWithError("wc -l failed");
            break;
        }
    }
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// `vandrel-cli` opening the model as a whole process: start-up, the open command
// with its settings file, and the exit. Its peak memory is compared with the
// file's size.
void BM_CliOpenLargeModel(benchmark::State& state) {
    const std::string& path = LargeModelPath();
    const std::string folder = path.substr(0, path.rfind('/'));
    {
        std::ofstream script(folder + "/open.script");
        script << "open 1 " << path << "\n";
    }
    long peak = 0;
    for (auto _ : state) {
        if (!RunChild({VANDREL_CLI, folder + "/open.script"}, folder, peak)) {
            state.SkipWithError("vandrel-cli failed");
            break;
        }
    }
    const double megabytes = double(std::filesystem::file_size(path)) / (1 << 20);
    state.counters["peakMB"] = double(peak) / 1024;
    state.counters["limitMB"] = 1.5 * megabytes + 30;
}
BENCHMARK(BM_CliOpenLargeModel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The console report, followed by the ratio of the open to `wc -l`.
// With --benchmark_repetitions the ratio is taken between the medians of the runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double wc = Median("BM_WcLines");
        if (wc <= 0) return;
        for (const char* name : {"BM_OpenLargeModel", "BM_FirstOpenLargeModel", "BM_CliOpenLargeModel"})
            if (const double open = Median(name); open > 0) std::cout << name << " / wc -l = " << open / wc << "\n";
        std::cout << "goal for BM_CliOpenLargeModel (a whole vandrel-cli run): below 4\n";
    }

private:
    double Median(const std::string& name) {
        auto found = times_.find(name);
        if (found == times_.end() || found->second.empty()) return 0;
        std::vector<double>& times = found->second;
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    }

    std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
