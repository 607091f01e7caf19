#pragma once
// Helpers shared by the tests: temporary folders, files, running vandrel-cli.
#include <filesystem>
#include <string>
#include <vector>

namespace vandrel::test {

// A fresh folder that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Joins lines with the terminator (CR LF by default), the last line included.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n");

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs vandrel-cli with `script` in the folder `workDir`.
CliResult RunCli(const std::string& workDir, const std::string& script, const std::vector<std::string>& args = {});

}  // namespace vandrel::test
