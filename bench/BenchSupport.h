#pragma once
// What the benchmarks of the window's commands share: a shell that answers the
// open dialog with a path, a scratch folder, and the timing of one command on a
// fresh copy of the program.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/Program.h"

namespace vandrel::bench {

// Answers the open dialog with `path`, and Yes to a question.
struct QuietShell : Shell {
    std::string path;
    std::string AskOpenPath(const OpenDialogRequest&) override { return path; }
    bool AskYesNo(const Message&) override { return true; }
};

// A folder of its own in the temporary folder, removed with the object.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// The one T of a benchmark program, made when first asked for, so that its
// set-up runs once and outside any timing.
template <class T>
T& Once() {
    static T object;
    return object;
}

// Times `command(program)` on a fresh copy of `start` in every iteration; only
// the command is timed, not the copy or its release.
template <class Command>
void TimeOnCopies(benchmark::State& state, const Program& start, Command command) {
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Program>(start);
        state.ResumeTiming();
        command(*p);
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}

}  // namespace vandrel::bench
