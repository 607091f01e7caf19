#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>


namespace vandrel::test {

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("vandrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::set<std::string> NamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end) {
    std::string out;
    for (const std::string& line : lines) out += line + end;
    return out;
}

CliResult RunCli(const std::string& workDir, const std::string& script) {
    TempDir scratch;
    WriteFile(scratch / "script", script);
    const std::string command = "cd '" + workDir + "' && '" + VANDREL_CLI + "' '" + (scratch / "script") + "' >'" +
                                (scratch / "out") + "' 2>'" + (scratch / "err") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(scratch / "out"), ReadFile(scratch / "err")};
}

std::vector<std::string> ValidLines(const LineSet& set) {
    std::vector<std::string> lines;
    for (int64_t i = 1; i <= set.LineCount; ++i) lines.emplace_back(LineAt(set, i));
    return lines;
}

std::vector<std::string> RowTexts(const KeyframeTable& rows) {
    std::vector<std::string> texts;
    for (const KeyframeRow& row : rows) texts.push_back(row.RowText);
    return texts;
}

std::vector<size_t> SelectedRows(const KeyframeTable& rows) {
    std::vector<size_t> selected;
    for (size_t r = 0; r < rows.size(); ++r)
        if (rows[r].Selected) selected.push_back(r);
    return selected;
}

}  // namespace vandrel::test
