// The open command as the window runs it: the settings are read, the open
// dialog is asked with the slot's title, filter and remembered file, and the
// answer is opened or refused with the hint.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Commands.h"
#include "app/MainWindow.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using test::JoinLines;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Answers the open dialog from a list and records what was asked and shown.
class ScriptedShell : public Shell {
public:
    std::vector<std::string> answers;
    std::vector<OpenDialogRequest> requests;
    std::vector<Message> messages;

    std::string AskOpenPath(const OpenDialogRequest& request) override {
        requests.push_back(request);
        std::string answer = answers.empty() ? std::string() : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return answer;
    }
    void ShowMessage(const Message& message) override { messages.push_back(message); }
    bool AskYesNo(const Message&) override { return false; }
    void RunSettingsDialog(int&) override {}
    void ShowAbout(int) override {}
    bool OpenHelpFile(const std::string&) override { return false; }
    std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override { return nullptr; }
};

std::string Model() {
    return JoinLines({"// MilkShape 3D ASCII", "", "Frames: 2", "Frame: 1", "Bones: 1", "\"a\"", "\"\"",
                      "8 0 0 0 0 0 0", "2", "1.000000 0 0 0", "2.000000 0 0 0", "0"});
}

struct OpenCommand : ::testing::Test {
    TempDir dir;
    Program p;
    ScriptedShell shell;
    void SetUp() override {
        p.SettingsFileName = dir / "Vandrel.ini";
        WriteFile(dir / "a.txt", Model());
        WriteFile(dir / "b.txt", Model());
        StartUp(p, shell, false);
    }
    bool Open(int n, const std::string& answer) {
        shell.answers = {answer};
        return HandleMenu(p, shell, n == 1 ? menu::OpenFile1 : menu::OpenFile2);
    }
};

TEST_F(OpenCommand, DialogGetsTitleFilterAndTheRememberedFile) {
    ASSERT_TRUE(Open(1, dir / "a.txt"));
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].title, " Please select Milkshape 3D ASCII file 1");
    EXPECT_EQ(shell.requests[0].filter, "Milkshape 3D ASCII files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(shell.requests[0].defaultFile, "");
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=" + (dir / "a.txt") + "\r\nFILE2=\r\nLANGUAGE=0\r\n");

    // The next open of the slot reads the settings first and offers the file again.
    WriteFile(p.SettingsFileName, "FILE1=" + (dir / "b.txt") + "\r\nLANGUAGE=1\r\n");
    ASSERT_TRUE(Open(1, ""));
    EXPECT_EQ(shell.requests[1].defaultFile, dir / "b.txt");
    EXPECT_EQ(shell.requests[1].title, " Bitte Milkshape 3D ASCII Datei 1 ausw\xE4hlen");
    EXPECT_EQ(shell.requests[1].filter, "Milkshape 3D ASCII Dateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*");
    ASSERT_TRUE(Open(2, ""));
    EXPECT_EQ(shell.requests[2].title, " Bitte Milkshape 3D ASCII Datei 2 ausw\xE4hlen");
    EXPECT_EQ(shell.requests[2].defaultFile, "");
}

TEST_F(OpenCommand, CancelShowsTheHintAndStillShowsCompatibility) {
    ASSERT_TRUE(Open(2, ""));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].title, " Hint");
    EXPECT_EQ(shell.messages[0].text, "You can open only Milkshape 3D ASCII files!");
    EXPECT_EQ(shell.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(p.window.status[1], " Joints: ");
    EXPECT_EQ(p.window.status[2], " Compatible: 0");
    EXPECT_EQ(p.ws.File(2).Path, "");
    EXPECT_FALSE(ControlEnabled(p, ids::SaveButton2));
    EXPECT_FALSE(std::filesystem::exists(p.SettingsFileName)) << "a refused open writes no settings";
}

TEST_F(OpenCommand, AcceptedOpenShowsThePathAndEnablesTheSlotsCommands) {
    ASSERT_TRUE(Open(2, dir / "b.txt"));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(p.window.controls[ids::PathField2].text, dir / "b.txt");
    EXPECT_TRUE(ControlEnabled(p, ids::SaveButton2));
    EXPECT_TRUE(MenuItemEnabled(p, menu::SaveFile2));
    EXPECT_TRUE(MenuItemEnabled(p, menu::PrintStatistics2));
    EXPECT_TRUE(MenuItemEnabled(p, menu::PrintKeyframes2));
    EXPECT_FALSE(ControlEnabled(p, ids::SaveButton1));
    EXPECT_FALSE(MenuItemEnabled(p, menu::SaveFile1));
    EXPECT_EQ(p.window.status[3], " Joints: 1");
    // A refused open afterwards keeps the slot and its commands.
    ASSERT_TRUE(Open(2, dir / "nothing.csv"));
    EXPECT_EQ(p.ws.File(2).Path, dir / "b.txt");
    EXPECT_TRUE(ControlEnabled(p, ids::SaveButton2));
    EXPECT_EQ(p.window.controls[ids::PathField2].text, dir / "b.txt");

    ASSERT_TRUE(Open(1, dir / "a.txt"));
    EXPECT_EQ(p.ws.CompatibleCount, 1);
    EXPECT_EQ(p.window.status[2], " Compatible: 1");
}

}  // namespace
}  // namespace vandrel
