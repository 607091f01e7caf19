// What the commands ask of the dialogs and show while they run, seen through a
// shell that answers from the test: the start-up, the busy text, the open
// dialog, the Settings dialog, the quit question, the help and the About window.
#include <gtest/gtest.h>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "app/Commands.h"
#include "app/MainWindow.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::string kBusy[] = {" < ###### < B U S Y > ###### >", " < ###### < Bitte warten > ###### >"};
const std::string kReady[] = {" --------- < R E A D Y > ---------", " --------- < Bereit > ---------"};

struct Dispatch : ::testing::Test {
    test::TempDir dir;
    std::string walk = dir / "walk.txt";
    Program p;
    test::ScriptedShell shell{&p};
    Dispatch() {
        p.SettingsFileName = dir / "Vandrel.ini";
        WriteFile(walk, test::FileText(test::FileLines(test::AnimatedModel(test::Skeleton(2), {10, 20}))));
    }
    void Start(const std::string& settings) {
        if (!settings.empty()) WriteFile(p.SettingsFileName, settings);
        StartUp(p, shell, true);
    }
    bool Open(int n, const std::string& answer) {
        shell.openAnswers.push_back(answer);
        return HandleMenu(p, shell, n == 1 ? menu::OpenFile1 : menu::OpenFile2);
    }
};

TEST_F(Dispatch, OnlyAFirstStartShowsTheAboutWindowAndTheStartWritesNothing) {
    Start("");
    EXPECT_EQ(shell.aboutLanguages, std::vector<Language>{Language::English});
    EXPECT_EQ(p.window.controls[ids::OpenButton1].text, "Open Milkshape 3D ASCII File 1");
    EXPECT_FALSE(std::filesystem::exists(p.SettingsFileName));
    Program q;
    test::ScriptedShell other;
    q.SettingsFileName = p.SettingsFileName;
    WriteFile(q.SettingsFileName, "LANGUAGE=0\r\n");
    StartUp(q, other, true);
    EXPECT_TRUE(other.aboutLanguages.empty()) << "a settings file means it is no first start";
    EXPECT_GE(other.statusChanges, 1) << "the ready text reaches the screen";
}

TEST_F(Dispatch, TheBusyTextStandsWhileADialogIsOpenAndReadyFollows) {
    Start("LANGUAGE=0\r\n");
    const int before = shell.statusChanges;
    ASSERT_TRUE(Open(1, walk));
    EXPECT_EQ(shell.statusChanges, before + 2);
    shell.settingsChoice = Language::German;
    ASSERT_TRUE(HandleMenu(p, shell, menu::Settings));
    ASSERT_TRUE(HandleMenu(p, shell, menu::PrintKeyframes1));
    ASSERT_TRUE(Open(2, walk));
    EXPECT_EQ(shell.statusDuringDialogs, (std::vector<std::string>{kBusy[0], kBusy[0], kBusy[1], kBusy[1]}));
    EXPECT_EQ(p.window.status[4], kReady[1]);
}

TEST_F(Dispatch, TheOpenDialogGetsTitleFilterAndTheFileTheSettingsRemember) {
    Start("LANGUAGE=0\r\n");
    ASSERT_TRUE(HandleControl(p, shell, ids::OpenButton1));  // cancelled
    ASSERT_TRUE(Open(2, walk));
    ASSERT_EQ(shell.openRequests.size(), 2u);
    EXPECT_EQ(shell.openRequests[0].title, " Please select Milkshape 3D ASCII file 1");
    EXPECT_EQ(shell.openRequests[1].title, " Please select Milkshape 3D ASCII file 2");
    EXPECT_EQ(shell.openRequests[1].filter, "Milkshape 3D ASCII files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(shell.openRequests[1].defaultFile, "");
    // The next open reads the settings first: the remembered file and the language.
    WriteFile(p.SettingsFileName, "FILE1=" + walk + "\r\nLANGUAGE=1\r\n");
    ASSERT_TRUE(Open(1, ""));
    EXPECT_EQ(shell.openRequests[2].defaultFile, walk);
    EXPECT_EQ(shell.openRequests[2].title, " Bitte Milkshape 3D ASCII Datei 1 ausw\xE4hlen");
    EXPECT_EQ(shell.openRequests[2].filter, "Milkshape 3D ASCII Dateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*");
    EXPECT_TRUE(shell.messages.empty()) << "a cancelled dialog shows nothing";
}

TEST_F(Dispatch, AModelThatCannotBeWrittenIsReportedInTheLanguageAndItsSideFileKept) {
    // The file became a folder after it was opened: nothing can replace it.
    Start("LANGUAGE=0\r\n");
    WriteFile(dir / "walk.csv", "old side file\r\n");
    ASSERT_TRUE(Open(1, walk));
    std::filesystem::remove(walk);
    std::filesystem::create_directory(walk);
    for (Language language : {Language::English, Language::German}) {
        p.UiLanguage = language;
        shell.messages.clear();
        ASSERT_TRUE(HandleMenu(p, shell, menu::SaveFile1));
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(shell.messages[0].icon, MessageIcon::Error);
        if (language == Language::English) {
            EXPECT_EQ(shell.messages[0].title, " Error");
            EXPECT_EQ(shell.messages[0].text, "File < walk.txt > is write-protected!\r\nThe file cannot be saved!");
        } else {
            EXPECT_EQ(shell.messages[0].title, " Fehler");
            EXPECT_EQ(shell.messages[0].text,
                      "Datei < walk.txt > ist schreibgesch\xFCtzt!\r\nDie Datei kann nicht gesichert werden!");
        }
    }
    EXPECT_EQ(ReadFile(dir / "walk.csv"), "old side file\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(walk));
}

TEST_F(Dispatch, SettingsCancelledStillWritesTheFileRebuildsAndRefreshes) {
    Start("LANGUAGE=1\r\n");
    shell.settingsChoice.reset();
    ASSERT_TRUE(HandleMenu(p, shell, menu::Settings));
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=\r\nFILE2=\r\nLANGUAGE=1\r\n");
    EXPECT_EQ(p.UiLanguage, Language::German);
    EXPECT_EQ(p.window.menu[menu::PrintKeyframes1].text, "Keyframes Datei1 ...");
    EXPECT_EQ(p.window.status[2], " Kompatibel: 0");
    EXPECT_EQ(p.window.controls[ids::KeyframeCounter1].text, "Keyframes: 0");
}

TEST_F(Dispatch, OnlyYesToTheQuitQuestionQuitsUnbracketedWithNothingWritten) {
    Start("");
    for (const auto& [language, title, text] :
         {std::tuple{Language::English, " Quit", "Do you really want to quit Vandrel?"},
          std::tuple{Language::German, " Beenden", "Wollen Sie Vandrel wirklich beenden?"}}) {
        p.UiLanguage = language;
        shell.questions.clear();
        HandleCloseRequest(p, shell);
        EXPECT_FALSE(p.QuitRequested);
        ASSERT_EQ(shell.questions.size(), 1u);
        EXPECT_EQ(shell.questions[0].title, title);
        EXPECT_EQ(shell.questions[0].text, text);
        EXPECT_EQ(shell.questions[0].icon, MessageIcon::Question);
    }
    shell.answerYes = true;
    const int before = shell.statusChanges;
    ASSERT_TRUE(HandleMenu(p, shell, menu::Quit));
    EXPECT_TRUE(p.QuitRequested);
    EXPECT_EQ(shell.statusChanges, before);
    EXPECT_FALSE(std::filesystem::exists(p.SettingsFileName));
}

TEST_F(Dispatch, TheQuitQuestionNamesEveryFileWithUnsavedChanges) {
    Start("LANGUAGE=0\r\n");
    ASSERT_TRUE(Open(1, walk));
    ASSERT_TRUE(Open(2, walk));
    auto asked = [&] {
        shell.questions.clear();
        HandleCloseRequest(p, shell);
        return shell.questions.at(0).text;
    };
    EXPECT_EQ(asked(), "Do you really want to quit Vandrel?") << "nothing changed: the question as ever";
    p.ws.File(2).Rows[0].Selected = true;
    ASSERT_TRUE(HandleControl(p, shell, ids::CutButton2));
    EXPECT_EQ(asked(), "Do you really want to quit Vandrel?\r\nFile 2 (walk.txt) has unsaved changes.");
    p.window.controls[ids::AtField].text = "40";
    ASSERT_TRUE(HandleControl(p, shell, ids::ClipboardOkButton));
    ASSERT_TRUE(HandleControl(p, shell, ids::PasteButton1));
    p.UiLanguage = Language::German;
    EXPECT_EQ(asked(), "Wollen Sie Vandrel wirklich beenden?\r\nDatei 1 (walk.txt) hat ungesicherte \xC4nderungen."
                       "\r\nDatei 2 (walk.txt) hat ungesicherte \xC4nderungen.");
    ASSERT_TRUE(HandleMenu(p, shell, menu::SaveFile2));
    EXPECT_EQ(asked(), "Wollen Sie Vandrel wirklich beenden?\r\nDatei 1 (walk.txt) hat ungesicherte \xC4nderungen.")
        << "a save of the same path: file 1 differs from it still";
}

TEST_F(Dispatch, HelpAndAboutSpeakTheLanguageAndAreNotBracketed) {
    Start("");
    ASSERT_TRUE(HandleMenu(p, shell, menu::HelpContents));  // no language read yet: the English file
    Start("LANGUAGE=1\r\n");
    const int before = shell.statusChanges;
    shell.helpOpens = true;
    ASSERT_TRUE(HandleMenu(p, shell, menu::HelpContents));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "The help file < VandrelEnglish.chm > cannot be opened!");
    shell.helpOpens = false;
    HandleMenu(p, shell, menu::HelpContents);
    EXPECT_EQ(shell.helpFiles, (std::vector<std::string>{"VandrelEnglish.chm", "VandrelGerman.chm", "VandrelGerman.chm"}));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[1].title, " Hinweis");
    EXPECT_EQ(shell.messages[1].text, "Die Hilfedatei < VandrelGerman.chm > kann nicht ge\xF6" "ffnet werden!");
    ASSERT_TRUE(HandleMenu(p, shell, menu::About));
    EXPECT_EQ(shell.aboutLanguages, (std::vector<Language>{Language::English, Language::German}));
    EXPECT_EQ(shell.statusChanges, before);
    EXPECT_EQ(p.window.controls[ids::KeyframeCounter1].text, "Keyframes") << "no refresh either";
}

}  // namespace
}  // namespace vandrel
