// Replays inputs through the fuzz targets with their checks: every finding of
// the fuzzers (tests/fuzz_findings) and the seed corpus (fuzz/corpus), each a
// folder with reader/ and commands/ inputs. A broken check traps and names the
// input before it.
//   fuzz_replay FOLDER...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int ReaderTestOneInput(const uint8_t* data, size_t size);
extern "C" int CommandsTestOneInput(const uint8_t* data, size_t size);
extern "C" int CommandsInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    std::vector<std::pair<std::filesystem::path, bool>> inputs;  // path, commands
    for (int a = 1; a < argc; ++a)
        for (const char* kind : {"reader", "commands"})
            for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::absolute(argv[a]) / kind))
                inputs.emplace_back(entry.path(), kind[0] == 'c');
    std::sort(inputs.begin(), inputs.end());
    CommandsInitialize(&argc, &argv);  // enters a private working folder
    for (const auto& [path, commands] : inputs) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string data = bytes.str();
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
        const auto* raw = reinterpret_cast<const uint8_t*>(data.data());
        commands ? CommandsTestOneInput(raw, data.size()) : ReaderTestOneInput(raw, data.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
