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
    path_ = std::filesystem::temp_directory_path() / ("vandrel-test-" + std::to_string(::getpid()) + "-" +
                                                     std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
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

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end) {
    std::string out;
    for (const std::string& line : lines) out += line + end;
    return out;
}

CliResult RunCli(const std::string& workDir, const std::string& script, const std::vector<std::string>& args) {
    TempDir scratch;
    const std::string scriptPath = scratch / "script";
    const std::string outPath = scratch / "out", errPath = scratch / "err";
    WriteFile(scriptPath, script);
    std::string command = "cd '" + workDir + "' && '" + std::string(VANDREL_CLI) + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " '" + scriptPath + "' >'" + outPath + "' 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

}  // namespace vandrel::test
