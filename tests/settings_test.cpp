// The settings file: remembered paths and the language, read leniently,
// validated, and always written as the same three CR LF lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "app/Settings.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct SettingsFile : ::testing::Test {
    TempDir dir;
    Program p;
    std::string model, other;

    void SetUp() override {
        p.SettingsFileName = dir / "Vandrel.ini";
        model = dir / "Model.TXT";
        other = dir / "other.txt";
        WriteFile(model, "// MilkShape 3D ASCII\r\n");
        WriteFile(other, "// MilkShape 3D ASCII\r\n");
    }
    void WriteSettingsFile(const std::string& bytes) { WriteFile(p.SettingsFileName, bytes); }
};

TEST_F(SettingsFile, KeysAreCaseInsensitiveAndValuesStripped) {
    WriteSettingsFile("  file1=  " + model + "  \r\nFiLe2=" + other + "\r\n language= 1 \r\n");
    ReadSettings(p);
    EXPECT_EQ(p.ws.File(1).DialogDefault, model);
    EXPECT_EQ(p.ws.File(2).DialogDefault, other);
    EXPECT_EQ(p.UiLanguage, 1);
    EXPECT_EQ(p.HelpFileName, "VandrelGerman.chm");
}

TEST_F(SettingsFile, LinesSplitLikeModelLinesAndOnlyBlanksAreStripped) {
    // CR, LF, CR LF and NUL end lines; a tab before a key hides it; a blank
    // inside the key is no key.
    WriteSettingsFile("FILE1=" + model + std::string(1, '\0') + "FILE2=" + other + "\rLANGUAGE=1");
    ReadSettings(p);
    EXPECT_EQ(p.ws.File(1).DialogDefault, model);
    EXPECT_EQ(p.ws.File(2).DialogDefault, other);
    EXPECT_EQ(p.UiLanguage, 1);

    Program q;
    q.SettingsFileName = p.SettingsFileName;
    WriteSettingsFile("\tFILE1=" + model + "\nFILE2 =" + other + "\nxLANGUAGE=1\n");
    ReadSettings(q);
    EXPECT_EQ(q.ws.File(1).DialogDefault, "");
    EXPECT_EQ(q.ws.File(2).DialogDefault, "");
    EXPECT_EQ(q.UiLanguage, 0);
}

TEST_F(SettingsFile, LastOccurrenceOfAKeyWinsThenThePathIsValidated) {
    WriteSettingsFile("FILE1=" + model + "\r\nLANGUAGE=1\r\nFILE1=" + other + "\r\nLANGUAGE=0\r\n");
    ReadSettings(p);
    EXPECT_EQ(p.ws.File(1).DialogDefault, other);
    EXPECT_EQ(p.UiLanguage, 0);
    EXPECT_EQ(p.HelpFileName, "VandrelEnglish.chm");
    // The last path names nothing: it is dropped, the earlier one does not come back.
    WriteSettingsFile("FILE1=" + model + "\r\nFILE1=" + (dir / "gone.txt") + "\r\n");
    ReadSettings(p);
    EXPECT_EQ(p.ws.File(1).DialogDefault, "");
}

TEST_F(SettingsFile, OnlyPathsOfReadableTxtFilesAreKept) {
    std::filesystem::create_directories(dir.path() / "dir.x");
    std::filesystem::create_directories(dir.path() / "folder.txt");
    WriteFile(dir / "dir.x/model", "// MilkShape 3D ASCII\r\n");
    WriteFile(dir / "model.txt.bak", "// MilkShape 3D ASCII\r\n");
    for (const std::string& dropped : {dir / "dir.x/model", dir / "folder.txt", dir / "missing.txt",
                                       dir / "model.txt.bak", std::string()}) {
        WriteSettingsFile("FILE1=" + dropped + "\r\nFILE2=" + model + "\r\n");
        ReadSettings(p);
        EXPECT_EQ(p.ws.File(1).DialogDefault, "") << dropped;
        EXPECT_EQ(p.ws.File(2).DialogDefault, model);
        EXPECT_EQ(ValidateDialogDefault(dropped), "") << dropped;
    }
    EXPECT_EQ(ValidateDialogDefault(model), model);
}

TEST_F(SettingsFile, OnlyExactlyOneMeansGerman) {
    struct Case {
        const char* value;
        int language;
    };
    for (const Case& c : {Case{"1", 1}, Case{"01", 1}, Case{"+1", 1}, Case{"%1", 1}, Case{"$1", 1}, Case{"1.9", 1},
                          Case{"1abc", 1}, Case{"0", 0}, Case{"2", 0}, Case{"-1", 0}, Case{"abc", 0}, Case{"", 0},
                          Case{"4294967297", 0}, Case{"18446744073709551617", 1}}) {
        Program q;
        q.SettingsFileName = p.SettingsFileName;
        q.UiLanguage = 1;
        WriteSettingsFile(std::string("LANGUAGE=") + c.value + "\r\n");
        ReadSettings(q);
        EXPECT_EQ(q.UiLanguage, c.language) << c.value;
        EXPECT_EQ(q.HelpFileName, c.language == 1 ? "VandrelGerman.chm" : "VandrelEnglish.chm") << c.value;
        Program r;
        r.SettingsFileName = p.SettingsFileName;
        ASSERT_TRUE(ReadInitialLanguage(r));
        EXPECT_EQ(r.UiLanguage, c.language) << c.value;
    }
}

TEST_F(SettingsFile, MissingFileKeepsHeldValuesAndOnlyValidates) {
    p.ws.File(1).DialogDefault = model;
    p.ws.File(2).DialogDefault = dir / "missing.txt";
    p.UiLanguage = 1;
    EXPECT_FALSE(ReadInitialLanguage(p));
    ReadSettings(p);
    EXPECT_EQ(p.ws.File(1).DialogDefault, model);
    EXPECT_EQ(p.ws.File(2).DialogDefault, "");
    EXPECT_EQ(p.UiLanguage, 1);
    // A folder in the settings file's place cannot be read either.
    std::filesystem::create_directories(p.SettingsFileName);
    EXPECT_FALSE(ReadInitialLanguage(p));
}

TEST_F(SettingsFile, InitialLanguageReadIgnoresThePaths) {
    WriteSettingsFile("FILE1=" + model + "\r\nLANGUAGE=1\r\n");
    EXPECT_TRUE(ReadInitialLanguage(p));
    EXPECT_EQ(p.UiLanguage, 1);
    EXPECT_EQ(p.HelpFileName, "VandrelGerman.chm");
    EXPECT_EQ(p.ws.File(1).DialogDefault, "");
}

TEST_F(SettingsFile, WrittenFileHasThreeCrLfLinesInFixedOrder) {
    WriteSettingsFile("LANGUAGE=1\nFILE2=" + other + "\nFILE1=" + model + "\n# a note\n");
    ReadSettings(p);
    WriteSettings(p);
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=" + model + "\r\nFILE2=" + other + "\r\nLANGUAGE=1\r\n");

    // Only a LANGUAGE line: both paths come back empty, and the next write has all three lines.
    Program q;
    q.SettingsFileName = p.SettingsFileName;
    WriteSettingsFile("LANGUAGE=1");
    ReadSettings(q);
    EXPECT_EQ(q.ws.File(1).DialogDefault, "");
    EXPECT_EQ(q.ws.File(2).DialogDefault, "");
    WriteSettings(q);
    EXPECT_EQ(ReadFile(q.SettingsFileName), "FILE1=\r\nFILE2=\r\nLANGUAGE=1\r\n");
}

TEST_F(SettingsFile, WriteValidatesThePathsFirst) {
    p.ws.File(1).DialogDefault = model;
    p.ws.File(2).DialogDefault = other;
    std::filesystem::remove(other);
    WriteSettings(p);
    EXPECT_EQ(p.ws.File(2).DialogDefault, "");
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=" + model + "\r\nFILE2=\r\nLANGUAGE=0\r\n");
}

TEST_F(SettingsFile, PathsBeyondAsciiReadBackUnchanged) {
    const std::string name = dir / "M\xE4nnchen \xC3\xBC\xFF.txt";
    WriteFile(name, "// MilkShape 3D ASCII\r\n");
    p.ws.File(1).DialogDefault = name;
    WriteSettings(p);
    Program q;
    q.SettingsFileName = p.SettingsFileName;
    ReadSettings(q);
    EXPECT_EQ(q.ws.File(1).DialogDefault, name);
}

TEST_F(SettingsFile, UnwritableSettingsFileIsSilentlySkipped) {
    p.SettingsFileName = dir / "no/such/folder/Vandrel.ini";
    p.ws.File(1).DialogDefault = model;
    WriteSettings(p);
    EXPECT_FALSE(std::filesystem::exists(p.SettingsFileName));
    EXPECT_EQ(p.ws.File(1).DialogDefault, model);
}

}  // namespace
}  // namespace vandrel
