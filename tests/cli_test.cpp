// vandrel-cli as scripts use it: the script syntax, exit statuses and messages,
// UTF-8 output of 8-bit file text, and the fields of the dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace vandrel {
namespace {

using Json = nlohmann::json;
using test::CliResult;
using test::JoinLines;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

// Two bones on the same rest pose, keys at frames 1, 10 and 20.
std::string TwinModel(const std::string& meshName = "body") {
    std::vector<std::string> lines{"// MilkShape 3D ASCII", "", "Frames: 20", "Frame: 1", "", "Meshes: 1",
                                   "\"" + meshName + "\" 0 0", "1", "0 1.000000 2.000000 3.000000 0.0 0.0 0", "0",
                                   "1", "0 0 0 0 0 0 0 1", "", "Materials: 0", "", "Bones: 2"};
    for (const char* bone : {"left", "right"}) {
        lines.push_back(std::string("\"") + bone + "\"");
        lines.push_back("\"\"");
        lines.push_back("8 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000");
        for (int kind = 0; kind < 2; ++kind) {
            lines.push_back("3");
            for (const char* time : {"1.000000", "10.000000", "20.000000"})
                lines.push_back(std::string(time) + " 0.000000 0.000000 0.000000");
        }
    }
    return JoinLines(lines);
}

// The dumps printed by a run, one JSON object per line beginning with "{".
std::vector<Json> Dumps(const CliResult& r) {
    std::vector<Json> dumps;
    size_t start = 0;
    while (start < r.out.size()) {
        size_t end = r.out.find('\n', start);
        if (end == std::string::npos) end = r.out.size();
        if (r.out[start] == '{') dumps.push_back(Json::parse(r.out.substr(start, end - start)));
        start = end + 1;
    }
    return dumps;
}

struct Cli : ::testing::Test {
    TempDir dir;
    void SetUp() override {
        WriteFile(dir / "walk.txt", TwinModel());
        // A model on another skeleton: no bone matches walk.txt's.
        WriteFile(dir / "other.txt", JoinLines({"// MilkShape 3D ASCII", "Frames: 1", "Frame: 1", "Bones: 1", "\"x\"",
                                                "\"\"", "0 5.0 5.0 5.0 0 0 0", "1", "1.0 0 0 0", "0"}));
    }
    CliResult Run(const std::string& script, const std::vector<std::string>& args = {}) {
        return RunCli(dir.path().string(), script, args);
    }
};

TEST_F(Cli, QuotedWordsEscapesAndJoinedParts) {
    WriteFile(dir / "my model.txt", TwinModel());
    WriteFile(dir / "we\"ird\\name.txt", TwinModel());
    const CliResult r = Run("open 1 \"my model.txt\"\n"
                            "open 2 \"we\\\"ird\\\\name.txt\"\n"
                            "dump\n"
                            "open 1 my\" mod\"el.txt\n"
                            "open 2 \"\"walk.txt\n"
                            "dump\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<Json> d = Dumps(r);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0]["files"][0]["path"], "my model.txt");
    EXPECT_EQ(d[0]["files"][1]["path"], "we\"ird\\name.txt");
    EXPECT_EQ(d[1]["files"][0]["path"], "my model.txt");
    EXPECT_EQ(d[1]["files"][1]["path"], "walk.txt");
    // Outside quotes a backslash is an ordinary character.
    WriteFile(dir / "a\\b.txt", TwinModel());
    EXPECT_EQ(Run("open 1 a\\b.txt\n").exitCode, 0);
}

TEST_F(Cli, EmptyWordIsAWord) {
    // "" is the path of a cancelled dialog: the open is rejected with the hint...
    CliResult r = Run("open 1 \"\"\nstatus\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Hint: You can open only Milkshape 3D ASCII files!\n");
    EXPECT_EQ(r.out, "");
    // ...and it counts as a word.
    r = Run("open 1 \"\" walk.txt\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.rfind("vandrel-cli: line 1: ", 0), 0u) << r.err;
}

TEST_F(Cli, LinesCommentsAndLineEnds) {
    // CR LF line ends, blank lines, blank-only lines and # comments.
    CliResult r = Run("# a walk\r\n\r\n   \r\n   # indented comment\r\nopen 1 walk.txt\r\ntable 1\r\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n10\n20\n");
    // A lone CR stays in the line: this whole line is a comment.
    r = Run("# note\rtable 1\nopen 1 walk.txt\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // Only one CR before the LF goes: "table\r" is no command.
    r = Run("open 1 walk.txt\ntable 1\r\r\n");
    EXPECT_EQ(r.exitCode, 2);
    // A last line without LF keeps its CR.
    r = Run("open 1 walk.txt\ntable 1\r");
    EXPECT_EQ(r.exitCode, 2);
    r = Run("open 1 walk.txt\ntable 1");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1\n10\n20\n");
    // "#" begins a comment only as the first word.
    r = Run("status # not a comment\n");
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(Cli, TabIsNotABlank) {
    CliResult r = Run("open\t1 walk.txt\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.rfind("vandrel-cli: line 1: ", 0), 0u) << r.err;
    r = Run("open 1\twalk.txt\n");
    EXPECT_EQ(r.exitCode, 2);
    // A tab inside quotes is part of the word, not of the blanks around it.
    WriteFile(dir / "tab\tname.txt", TwinModel());
    EXPECT_EQ(Run("open 1 \"tab\tname.txt\"\n").exitCode, 0);
}

TEST_F(Cli, MessageEndsTheRunWithStatusOneUnlessKeepGoing) {
    WriteFile(dir / "bad.txt", "// MilkShape 3D ASCI\r\n");
    CliResult r = Run("open 1 bad.txt\nstatus\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Hint: You can open only Milkshape 3D ASCII files!\n");
    EXPECT_EQ(r.out, "");

    r = Run("open 1 bad.txt\nopen 2\nopen 1 walk.txt\ndump\ndump\n", {"--keep-going"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Hint: You can open only Milkshape 3D ASCII files!\nHint: You can open only Milkshape 3D ASCII files!\n");
    const std::vector<Json> d = Dumps(r);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0]["messages"], Json::parse(R"([[" Hint","You can open only Milkshape 3D ASCII files!"],
                                                [" Hint","You can open only Milkshape 3D ASCII files!"]])"));
    EXPECT_EQ(d[1]["messages"], Json::array());
    EXPECT_EQ(d[1]["files"][0]["path"], "walk.txt");

    // The German message, as UTF-8.
    r = Run("language 1\nopen 1 bad.txt\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Hinweis: Nur Milkshape 3D ASCII Dateien k\xC3\xB6nnen ge\xC3\xB6\x66\x66net werden!\n");

    EXPECT_EQ(Run("open 1 walk.txt\nstatus\n", {"--keep-going"}).exitCode, 0);
}

TEST_F(Cli, MalformedAndRefusedCommandsEndTheRunWithStatusTwo) {
    struct Case {
        std::string script;
        int line;
    };
    const std::vector<Case> cases{
        {"save 1\n", 1},
        {"# comment\n\nsave 2\n", 3},
        {"open 1 walk.txt\nselect 1 3\n", 2},
        {"open 1 walk.txt\nselect 1 0 99999999999999999999999\n", 2},
        {"open 1 walk.txt\nselect 1 -1\n", 2},
        {"open 1 walk.txt\nselect 1 1x\n", 2},
        {"open 1 walk.txt\nselect 1 0 all\n", 2},
        {"select 2 0\n", 1},
        {"open 3 walk.txt\n", 1},
        {"open 01 walk.txt\n", 1},
        {"open one walk.txt\n", 1},
        {"open \"\" walk.txt\n", 1},
        {"table 0\n", 1},
        {"stats clipboard\n", 1},
        {"clock 2023-02-29 12:00\n", 1},
        {"clock 2024-13-01 12:00\n", 1},
        {"clock 0000-01-01 00:00\n", 1},
        {"clock 2024-01-01 24:00\n", 1},
        {"clock 2024-01-01 12:60\n", 1},
        {"clock 2024-2-29 12:00\n", 1},
        {"clock 2024-02-29\n", 1},
        {"language 2\n", 1},
        {"language 01\n", 1},
        {"open 1 walk.txt\npaste 1\n", 2},
        // Keys cut from file 1, then another skeleton opened into it: nothing could be placed.
        {"open 1 walk.txt\nselect 1 0\ncut 1\nopen 1 other.txt\npaste 1\n", 5},
        {"edit 1 \"\" \"\"\n", 1},
        {"open 1 walk.txt\nprint pictures 1 out.pdf\n", 2},
        {"open 1 walk.txt\ncopy 1 2\n", 2},
        {"frobnicate\n", 1},
        {"open 1 \"walk.txt\n", 1},
        {"status extra\n", 1},
        {"open\n", 1},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"--keep-going"}}) {
            const CliResult r = Run(c.script + "status\n", args);
            EXPECT_EQ(r.exitCode, 2) << c.script;
            const std::string prefix = "vandrel-cli: line " + std::to_string(c.line) + ": ";
            EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << c.script << " gave: " << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            EXPECT_EQ(r.out.find("R E A D Y"), std::string::npos) << "the run went on after: " << c.script;
        }
    }
    // What was printed before the refused line stays printed.
    const CliResult r = Run("open 1 walk.txt\ntable 1\nsave 3\ntable 1\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "1\n10\n20\n");
}

TEST_F(Cli, ValidCommandsOfTheSameKindsPass) {
    const CliResult r = Run("clock 2024-02-29 23:59\nclock 0001-01-01 00:00\nclock 9999-12-31 00:00\n"
                            "open 1 walk.txt\nselect 1 00 2\ndump\nselect 1 all\ndump\nselect 1\ndump\n"
                            "language 1\nlanguage 0\ntable 2\ntable clipboard\nstats 2\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<Json> d = Dumps(r);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0]["files"][0]["selected"], Json::parse("[0,2]"));
    EXPECT_EQ(d[1]["files"][0]["selected"], Json::parse("[0,1,2]"));
    EXPECT_EQ(d[2]["files"][0]["selected"], Json::array());
}

TEST_F(Cli, FileTextIsPrintedAsUtf8OneCharacterPerByte) {
    // A mesh name, a comment and a path with bytes 0x80 to 0xFF.
    WriteFile(dir / "K\xE4se.txt", TwinModel("K\xE4se\x80\xFF"));
    WriteFile(dir / "K\xE4se.csv", "t\r\n\r\nh;h;h;h\r\n1;10;M\xE4nner;1;1\r\n");
    const CliResult r = Run("open 1 K\xE4se.txt\ntable 1\nstats 1\nstatus\ndump\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n10       M\xC3\xA4nner\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n\"K\xC3\xA4se\xC2\x80\xC3\xBF\" --> 1\n"), std::string::npos) << r.out;
    const std::vector<Json> d = Dumps(r);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0]["files"][0]["path"], "K\xC3\xA4se.txt");
    EXPECT_EQ(d[0]["files"][0]["sidecarPath"], "K\xC3\xA4se.csv");
    EXPECT_EQ(d[0]["files"][0]["lines"][6], "\"K\xC3\xA4se\xC2\x80\xC3\xBF\" 0 0");
    EXPECT_EQ(d[0]["files"][0]["rows"][1], "10       M\xC3\xA4nner");
    EXPECT_EQ(d[0]["window"]["controls"]["4"]["text"], "K\xC3\xA4se.txt");

    // Script words are bytes: a UTF-8 name reaches the program as its two bytes.
    WriteFile(dir / "M\xC3\xBC.txt", TwinModel());
    const CliResult u = Run("open 1 M\xC3\xBC.txt\ndump\n");
    ASSERT_EQ(u.exitCode, 0) << u.err;
    EXPECT_EQ(Dumps(u)[0]["files"][0]["path"], "M\xC3\x83\xC2\xBC.txt");
}

TEST_F(Cli, DumpHoldsTheWholeStateOnOneLine) {
    const CliResult r = Run("open 1 walk.txt\nselect 1 2 0\ndump\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    const Json d = Dumps(r).at(0);
    // The fields in the documented order, and nothing else.
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys, fileKeys, clipKeys;
    for (auto it = ordered.begin(); it != ordered.end(); ++it) keys.push_back(it.key());
    for (auto it = ordered["files"][0].begin(); it != ordered["files"][0].end(); ++it) fileKeys.push_back(it.key());
    for (auto it = ordered["clipboard"].begin(); it != ordered["clipboard"].end(); ++it) clipKeys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"lineCapacity", "uiLanguage", "helpFileName", "compatibleCount",
                                              "clipboardSource", "modified", "messages", "window", "files", "clipboard"}));
    EXPECT_EQ(fileKeys, (std::vector<std::string>{"path", "dialogDefault", "sidecarPath", "lineCount", "bonesLine",
                                                  "lines", "bones", "rows", "selected", "statistics",
                                                  "loadedRestLines", "restLinesAdjusted"}));
    EXPECT_EQ(clipKeys, (std::vector<std::string>{"lineCount", "bonesLine", "lines", "bones", "rows"}));
    EXPECT_EQ(d["lineCapacity"], 48);
    EXPECT_EQ(d["uiLanguage"], 0);
    EXPECT_EQ(d["helpFileName"], "") << "a first start: no language has been read yet";
    EXPECT_EQ(d["compatibleCount"], 0);
    EXPECT_EQ(d["clipboardSource"], 0);
    EXPECT_EQ(d["window"]["controls"].size(), 34u);
    EXPECT_EQ(d["window"]["menu"].size(), 15u);
    EXPECT_EQ(d["window"]["status"].size(), 5u);
    EXPECT_EQ(d["window"]["status"][1], " Joints: 2");
    EXPECT_EQ(d["window"]["status"][2], " Compatible: 0");
    EXPECT_EQ(d["window"]["status"][3], " Joints: ");
    EXPECT_EQ(d["window"]["controls"]["1"]["enabled"], true) << "Save File 1 after the open";
    EXPECT_EQ(d["window"]["controls"]["12"]["text"], "") << "a list shows no text of its own";

    const Json& f = d["files"][0];
    EXPECT_EQ(f["path"], "walk.txt");
    EXPECT_EQ(f["dialogDefault"], "walk.txt");
    EXPECT_EQ(f["sidecarPath"], "walk.csv");
    EXPECT_EQ(f["lineCount"], 38);
    EXPECT_EQ(f["lines"].size(), 38u);
    EXPECT_EQ(f["lines"][0], "// MilkShape 3D ASCII");
    EXPECT_EQ(f["lines"][18], "0 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000");
    EXPECT_EQ(f["lines"][29], "0 1.000000 0.000000 0.000000 0.000000 0.000000 0.000001");
    EXPECT_EQ(f["bonesLine"], 16);
    EXPECT_EQ(f["bones"], Json::parse("[[17,19,20,24],[28,30,31,35]]"));
    EXPECT_EQ(f["rows"], Json::parse(R"(["1","10","20"])"));
    EXPECT_EQ(f["selected"], Json::parse("[0,2]"));
    EXPECT_EQ(f["loadedRestLines"], Json::parse(R"(["0 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000",
                                                    "0 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000"])"));
    EXPECT_EQ(f["restLinesAdjusted"], true);
    EXPECT_EQ(f["statistics"][0], "Vertices:   1 (1)");
    std::string joined;
    for (const Json& line : f["statistics"]) joined += (joined.empty() ? "" : "\r\n") + line.get<std::string>();
    EXPECT_EQ(d["window"]["controls"]["11"]["text"], joined);

    const Json& empty = d["files"][1];
    EXPECT_EQ(empty["path"], "");
    EXPECT_EQ(empty["lineCount"], 0);
    EXPECT_EQ(empty["lines"], Json::array());
    const Json& clip = d["clipboard"];
    EXPECT_EQ(clip, Json::parse(R"({"lineCount":0,"bonesLine":0,"lines":[],"bones":[],"rows":[]})"));
}

TEST_F(Cli, OpenThatDoesNotReloadKeepsTheRestLinesForTheSave) {
    WriteFile(dir / "bad.txt", "not a model\r\n");
    const CliResult r = Run("open 1 walk.txt\ndump\nopen 1 bad.txt\nopen 1\nopen 1 walk.TXT.bak\ndump\n", {"--keep-going"});
    EXPECT_EQ(r.exitCode, 1);
    const std::vector<Json> d = Dumps(r);
    ASSERT_EQ(d.size(), 2u);
    for (const char* field : {"loadedRestLines", "restLinesAdjusted", "lines", "bones", "rows", "path", "statistics"})
        EXPECT_EQ(d[1]["files"][0][field], d[0]["files"][0][field]) << field;
    EXPECT_EQ(d[1]["messages"].size(), 3u);
    EXPECT_EQ(d[1]["window"]["status"][1], " Joints: 2") << "the compatibility is shown after every open";
}

TEST_F(Cli, FolderOpensAsAnEmptyModelAndIsNotRemembered) {
    std::filesystem::create_directories(dir.path() / "folder.txt");
    const CliResult r = Run("open 1 walk.txt\nselect 1 1\nopen 1 folder.txt\ndump\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json f = Dumps(r).at(0)["files"][0];
    EXPECT_EQ(f["path"], "folder.txt");
    EXPECT_EQ(f["dialogDefault"], "");
    EXPECT_EQ(f["lineCount"], 0);
    EXPECT_EQ(f["rows"], Json::array());
    EXPECT_EQ(f["selected"], Json::array());
    EXPECT_EQ(f["loadedRestLines"], Json::array());
    EXPECT_EQ(f["restLinesAdjusted"], false);
    EXPECT_EQ(ReadFile(dir / "Vandrel.ini"), "FILE1=\r\nFILE2=\r\nLANGUAGE=0\r\n");
}

TEST_F(Cli, AcceptedOpenRemembersThePathAndReopeningClearsTheSelection) {
    const CliResult r = Run("open 2 walk.txt\nselect 2 0 1\nopen 2 walk.txt\ndump\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Dumps(r).at(0)["files"][1]["selected"], Json::array());
    // The second open read the settings the first one wrote, the language with them.
    EXPECT_EQ(Dumps(r).at(0)["helpFileName"], "VandrelEnglish.chm");
    EXPECT_EQ(ReadFile(dir / "Vandrel.ini"), "FILE1=\r\nFILE2=walk.txt\r\nLANGUAGE=0\r\n");
    // A rejected open writes nothing.
    TempDir other;
    WriteFile(other / "bad.txt", "x\r\n");
    EXPECT_EQ(RunCli(other.path().string(), "open 1 bad.txt\n").exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(other / "Vandrel.ini"));
}

TEST_F(Cli, HelpAndVersion) {
    CliResult r = Run("", {"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("select N ROW"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dump"), std::string::npos);
    r = Run("", {"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Version 1.02 of 04/30/2012\n");
}

}  // namespace
}  // namespace vandrel
