// The main window's state without any toolkit: the start-up, the refresh after
// each command, the re-labelling after a language change and the order of the
// dispatch, driven through a shell that answers the dialogs from the test.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/Texts.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kReadyEn = " --------- < R E A D Y > ---------";
const std::string kBusyEn = " < ###### < B U S Y > ###### >";
const std::string kReadyDe = " --------- < Bereit > ---------";
const std::string kBusyDe = " < ###### < Bitte warten > ###### >";

// Answers every dialog the way the test says and remembers what was asked.
class FakeShell : public Shell {
public:
    explicit FakeShell(Program& p) : p_(p) {}

    std::deque<std::string> openAnswers;  // "" cancels; none left cancels too
    std::vector<OpenDialogRequest> openRequests;
    std::vector<std::string> statusWhileOpenDialog;
    std::vector<Message> messages;
    std::vector<Message> questions;
    bool answerYes = false;
    std::optional<int> settingsChoice;  // OK with this language; none: Cancel
    std::vector<std::string> statusWhileSettingsDialog;
    std::vector<int> aboutLanguages;
    std::function<void()> onAbout;
    bool helpOpens = false;
    std::vector<std::string> helpFiles;
    int statusChanges = 0;

    std::string AskOpenPath(const OpenDialogRequest& request) override {
        openRequests.push_back(request);
        statusWhileOpenDialog.push_back(p_.window.status[4]);
        if (openAnswers.empty()) return {};
        std::string answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    void ShowMessage(const Message& message) override { messages.push_back(message); }
    bool AskYesNo(const Message& question) override {
        questions.push_back(question);
        return answerYes;
    }
    void RunSettingsDialog(int& uiLanguage) override {
        statusWhileSettingsDialog.push_back(p_.window.status[4]);
        if (settingsChoice) uiLanguage = *settingsChoice;
    }
    void ShowAbout(int uiLanguage) override {
        aboutLanguages.push_back(uiLanguage);
        if (onAbout) onAbout();
    }
    bool OpenHelpFile(const std::string& name) override {
        helpFiles.push_back(name);
        return helpOpens;
    }
    std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override { return nullptr; }
    void StatusChanged() override { ++statusChanges; }

private:
    Program& p_;
};

// A program whose settings file lives in a fresh folder, with two models on one
// skeleton beside it (frames 10, 20, 35 and 5, 15) and one on another skeleton.
class WindowState : public ::testing::Test {
protected:
    WindowState() : shell(p) {
        p.SettingsFileName = dir / "Vandrel.ini";
        const auto skeleton = test::Skeleton(3);
        WriteFile(walk, test::FileText(test::FileLines(test::AnimatedModel(skeleton, {10, 20, 35}))));
        WriteFile(other, test::FileText(test::FileLines(test::AnimatedModel(skeleton, {5, 15}))));
        auto foreign = test::Skeleton(2);
        for (auto& bone : foreign) bone.Rest = "0 9.5 9.5 9.5 0.1 0.2 " + bone.Name;
        WriteFile(stranger, test::FileText(test::FileLines(test::AnimatedModel(foreign, {1, 2}))));
    }

    void WriteSettings(const std::string& text) { WriteFile(p.SettingsFileName, text); }
    bool SettingsWritten() const { return std::filesystem::exists(p.SettingsFileName); }

    void Open(int n, const std::string& path) {
        shell.openAnswers.push_back(path);
        ASSERT_TRUE(HandleMenu(p, shell, n == 1 ? menu::OpenFile1 : menu::OpenFile2));
    }
    void Select(int n, std::initializer_list<size_t> rows) {
        for (auto& row : p.ws.File(n).Rows) row.Selected = false;
        for (size_t r : rows) p.ws.File(n).Rows.at(r).Selected = true;
    }
    const ControlState& C(int id) const { return p.window.controls[size_t(id)]; }
    const MenuItemState& M(int id) const { return p.window.menu[size_t(id)]; }

    TempDir dir;
    std::string walk = dir / "walk.txt", other = dir / "other.txt", stranger = dir / "stranger.txt";
    Program p;
    FakeShell shell;
};

// --- Start-up -------------------------------------------------------------

TEST_F(WindowState, FirstStartShowsTheAboutWindowInEnglishBeforeTheMainWindowExists) {
    std::string firstCaptionDuringAbout = "not asked";
    shell.onAbout = [&] { firstCaptionDuringAbout = C(ids::OpenButton1).text; };
    StartUp(p, shell, true);
    EXPECT_EQ(shell.aboutLanguages, std::vector<int>{0});
    EXPECT_EQ(firstCaptionDuringAbout, "");
    EXPECT_EQ(C(ids::OpenButton1).text, "Open Milkshape 3D ASCII File 1");
    EXPECT_EQ(C(ids::PathField1).text, "");
    EXPECT_EQ(C(ids::PathField2).text, "");
    // Nothing is written by the start-up, so the next start is a first start again.
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(WindowState, ASettingsFileMeansNoAboutWindowAndItsLanguageWithLooseSpelling) {
    WriteSettings("   language=  1  \r\n");
    StartUp(p, shell, true);
    EXPECT_TRUE(shell.aboutLanguages.empty());
    EXPECT_EQ(p.UiLanguage, 1);
    EXPECT_EQ(p.HelpFileName, "VandrelGerman.chm");
    EXPECT_EQ(C(ids::OpenButton1).text, Latin1("Öffnen Milkshape 3D ASCII Datei 1"));
    EXPECT_EQ(M(menu::Settings).text, "Einstellungen ...");
    EXPECT_EQ(p.window.status[4], kReadyDe);
}

TEST_F(WindowState, LanguageValuesOtherThanOneMeanEnglish) {
    for (const char* value : {"2", "German", "-1", "%11", "11"}) {
        Program q;
        FakeShell s(q);
        q.SettingsFileName = p.SettingsFileName;
        WriteSettings(std::string("LANGUAGE=") + value + "\r\n");
        StartUp(q, s, true);
        EXPECT_EQ(q.UiLanguage, 0) << value;
        EXPECT_EQ(q.window.controls[ids::CutButton1].text, "Cut") << value;
    }
}

TEST_F(WindowState, StartUpDisablesExactlyTheCommandsThatNeedAFileOrTheClipboard) {
    StartUp(p, shell, false);
    const std::set<int> off = {1, 3, 16, 17, 18, 19, 20, 21, 28, 29, 30, 31, 32, 33};
    for (int id = 0; id < kControlCount; ++id) EXPECT_EQ(C(id).enabled, !off.count(id)) << "control " << id;
    for (int id = 0; id < kMenuItemCount; ++id) EXPECT_EQ(M(id).enabled, id < 2 || (id > 7 && id != 12 && id != 13)) << "menu item " << id;
}

TEST_F(WindowState, StartUpStatusBarShowsOnlyTheReadyText) {
    StartUp(p, shell, false);
    for (int field = 0; field < 4; ++field) EXPECT_EQ(p.window.status[size_t(field)], "") << field;
    EXPECT_EQ(p.window.status[4], kReadyEn);
    EXPECT_GE(shell.statusChanges, 1);
}

TEST_F(WindowState, CountersShowTheirCaptionsUntilTheFirstRefresh) {
    WriteSettings("LANGUAGE=1\r\n");
    StartUp(p, shell, false);
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes");
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Zwischenablage");
    EXPECT_EQ(C(ids::KeyframeCounter2).text, "Keyframes");
    Open(1, "");  // cancelled: still refreshes
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes: 0");
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Zwischenablage: 0");
    EXPECT_EQ(C(ids::KeyframeCounter2).text, "Keyframes: 0");
}

TEST_F(WindowState, AllCaptionsAndTooltipsComeFromTheLayoutInBothLanguages) {
    for (int language : {0, 1}) {
        Program q;
        q.UiLanguage = language;
        BuildMainWindow(q);
        for (const ControlSpec& entry : MainWindowControls()) {
            EXPECT_EQ(q.window.controls[size_t(entry.id)].text, Tr(entry.caption, language)) << entry.name;
            EXPECT_EQ(q.window.controls[size_t(entry.id)].tip, Tr(entry.tip, language)) << entry.name;
        }
    }
}

// --- Refresh ----------------------------------------------------------------

TEST_F(WindowState, AClipboardWithOneRowShowsItsNumberInFromToAndAt) {
    StartUp(p, shell, false);
    Open(1, walk);
    Select(1, {1});
    ASSERT_TRUE(HandleControl(p, shell, ids::CopyButton1));
    EXPECT_EQ(C(ids::FromField).text, "20");
    EXPECT_EQ(C(ids::ToField).text, "20");
    EXPECT_EQ(C(ids::AtField).text, "20");
    EXPECT_EQ(C(ids::StepwidthField).text, "");
    EXPECT_EQ(C(ids::CommentField).text, "");
    for (int id : {28, 29, 30, 31, 32, 33}) EXPECT_TRUE(C(id).enabled) << id;
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Clipboard: 1");
}

TEST_F(WindowState, TheClipboardRangeIsTheFirstAndTheLastRowByTheirLeadingNumbers) {
    StartUp(p, shell, false);
    p.ws.Clip.Rows = {{"10  Walk", false}, {"20", false}, {"35    Run fast", false}};
    RefreshMainWindow(p);
    EXPECT_EQ(C(ids::FromField).text, "10");
    EXPECT_EQ(C(ids::ToField).text, "35");
    EXPECT_EQ(C(ids::AtField).text, "10");
    // The table order counts, not the size of the numbers.
    p.ws.Clip.Rows = {{"35", false}, {"10", false}};
    RefreshMainWindow(p);
    EXPECT_EQ(C(ids::FromField).text, "35");
    EXPECT_EQ(C(ids::ToField).text, "10");
}

TEST_F(WindowState, WhatTheUserTypedInTheClipboardFieldsIsLostOnTheNextRefresh) {
    StartUp(p, shell, false);
    Open(1, walk);
    Select(1, {0, 2});
    HandleControl(p, shell, ids::CopyButton1);
    p.window.controls[ids::AtField].text = "100";
    p.window.controls[ids::StepwidthField].text = "5";
    p.window.controls[ids::CommentField].text = "Walk";
    Select(1, {1});
    HandleControl(p, shell, ids::CopyButton1);
    EXPECT_EQ(C(ids::AtField).text, "20");
    EXPECT_EQ(C(ids::StepwidthField).text, "");
    EXPECT_EQ(C(ids::CommentField).text, "");
}

TEST_F(WindowState, TheOkButtonTakesTheTypedFieldsAndTheRefreshShowsTheNewRange) {
    StartUp(p, shell, false);
    Open(1, walk);
    Select(1, {0, 1, 2});
    HandleControl(p, shell, ids::CopyButton1);
    p.window.controls[ids::AtField].text = "100";
    p.window.controls[ids::StepwidthField].text = "5";
    ASSERT_TRUE(HandleControl(p, shell, ids::ClipboardOkButton));
    EXPECT_EQ(C(ids::FromField).text, "100");
    EXPECT_EQ(C(ids::ToField).text, "110");
}

TEST_F(WindowState, ACutFromFile1WithoutFile2EnablesOnlyPaste1) {
    StartUp(p, shell, false);
    Open(1, walk);
    Select(1, {0});
    ASSERT_TRUE(HandleControl(p, shell, ids::CutButton1));
    EXPECT_EQ(p.ws.CompatibleCount, 0);
    EXPECT_TRUE(C(ids::PasteButton1).enabled);
    EXPECT_FALSE(C(ids::PasteButton2).enabled);
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes: 2");
    EXPECT_FALSE(HandleControl(p, shell, ids::PasteButton2));
}

TEST_F(WindowState, AClipboardFromFile2WithoutCompatibleBonesCannotGoIntoFile1) {
    StartUp(p, shell, false);
    Open(1, walk);
    Open(2, stranger);
    ASSERT_EQ(p.ws.CompatibleCount, 0);
    Select(2, {0});
    HandleControl(p, shell, ids::CopyButton2);
    EXPECT_FALSE(C(ids::PasteButton1).enabled);
    EXPECT_TRUE(C(ids::PasteButton2).enabled);
}

TEST_F(WindowState, TwoFilesOnOneSkeletonEnableBothPasteButtons) {
    StartUp(p, shell, false);
    Open(1, walk);
    Open(2, other);
    ASSERT_GT(p.ws.CompatibleCount, 0);
    EXPECT_EQ(p.window.status[2], " Compatible: " + std::to_string(p.ws.CompatibleCount));
    Select(2, {1});
    HandleControl(p, shell, ids::CutButton2);
    EXPECT_TRUE(C(ids::PasteButton1).enabled);
    EXPECT_TRUE(C(ids::PasteButton2).enabled);
    ASSERT_TRUE(HandleControl(p, shell, ids::PasteButton1));
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes: 4");
    EXPECT_EQ(C(ids::KeyframeCounter2).text, "Keyframes: 1");
}

TEST_F(WindowState, ACutWithNothingSelectedEmptiesTheClipboardAndKeepsThePasteButtons) {
    StartUp(p, shell, false);
    Open(1, walk);
    Select(1, {2});
    HandleControl(p, shell, ids::CutButton1);
    ASSERT_TRUE(C(ids::PasteButton1).enabled);
    Select(1, {});
    ASSERT_TRUE(HandleControl(p, shell, ids::CutButton1));
    EXPECT_TRUE(p.ws.Clip.Rows.empty());
    EXPECT_FALSE(C(ids::ClipboardOkButton).enabled);
    EXPECT_TRUE(C(ids::PasteButton1).enabled);   // left as it was
    EXPECT_FALSE(C(ids::PasteButton2).enabled);  // the compatibility rule still holds
    for (int id : {28, 29, 30, 31, 32}) {
        EXPECT_EQ(C(id).text, "") << id;
        EXPECT_TRUE(C(id).enabled) << id;  // the refresh never disables them again
    }
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Clipboard: 0");
}

TEST_F(WindowState, CutAndCopyFollowTheRowCountOfTheirFile) {
    StartUp(p, shell, false);
    Open(1, walk);
    EXPECT_TRUE(C(ids::CutButton1).enabled);
    EXPECT_TRUE(M(menu::PrintKeyframes1).enabled);
    EXPECT_FALSE(C(ids::CutButton2).enabled);
    Select(1, {0, 1, 2});
    HandleControl(p, shell, ids::CutButton1);
    EXPECT_FALSE(C(ids::CutButton1).enabled);
    EXPECT_FALSE(C(ids::CopyButton1).enabled);
    EXPECT_FALSE(M(menu::PrintKeyframes1).enabled);
    // The file stays loaded: save and the statistics printout stay on.
    EXPECT_TRUE(C(ids::SaveButton1).enabled);
    EXPECT_TRUE(M(menu::SaveFile1).enabled);
    EXPECT_TRUE(M(menu::PrintStatistics1).enabled);
    EXPECT_FALSE(M(menu::SaveFile2).enabled);
    EXPECT_FALSE(M(menu::PrintStatistics2).enabled);
    EXPECT_FALSE(M(menu::PrintKeyframes2).enabled);
}

// --- Re-labelling after a language change ------------------------------------

TEST_F(WindowState, GermanMenuItem5HasABlankOnlyInTheMenuBuiltAtStart) {
    WriteSettings("LANGUAGE=1\r\n");
    StartUp(p, shell, false);
    EXPECT_EQ(M(menu::PrintKeyframes1).text, "Keyframes Datei 1 ...");
    shell.settingsChoice = 1;
    HandleMenu(p, shell, menu::Settings);
    EXPECT_EQ(M(menu::PrintKeyframes1).text, "Keyframes Datei1 ...");
    EXPECT_EQ(M(menu::PrintKeyframes2).text, "Keyframes Datei 2 ...");
}

TEST_F(WindowState, SwitchingToGermanRelabelsAndTheRefreshDisablesTheUnloadedFileAgain) {
    StartUp(p, shell, false);
    Open(1, walk);
    shell.settingsChoice = 1;
    ASSERT_TRUE(HandleMenu(p, shell, menu::Settings));
    EXPECT_EQ(p.HelpFileName, "VandrelGerman.chm");
    EXPECT_EQ(M(menu::OpenFile1).text, "Datei 1 ...");
    EXPECT_EQ(M(menu::Quit).text, "Beenden\tAlt+F4");
    EXPECT_EQ(M(menu::About).text, Latin1("Über ..."));
    EXPECT_EQ(C(ids::CutButton1).text, "Ausschneiden");
    EXPECT_EQ(C(ids::CopyButton1).tip, "Keytrames kopieren von Datei 1 nach Zwischenablage");
    EXPECT_EQ(C(ids::StepwidthField).tip, "Schrittweite");
    EXPECT_EQ(p.window.status[2], " Kompatibel: 0");
    EXPECT_EQ(p.window.status[4], kReadyDe);
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes: 3");
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Zwischenablage: 0");
    EXPECT_EQ(C(ids::PathField1).text, walk);  // contents are not touched
    EXPECT_TRUE(M(menu::SaveFile1).enabled);
    EXPECT_TRUE(M(menu::PrintKeyframes1).enabled);
    for (int id : {3, 6, 7}) EXPECT_FALSE(M(id).enabled) << id;

    shell.settingsChoice = 0;
    HandleMenu(p, shell, menu::Settings);
    EXPECT_EQ(M(menu::PrintKeyframes1).text, "Keyframes File 1 ...");
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Clipboard: 0");
    EXPECT_EQ(p.window.status[2], " Compatible: 0");
    for (int id : {3, 6, 7}) EXPECT_FALSE(M(id).enabled) << id;
}

TEST_F(WindowState, RebuildingLeavesTheEnabledStateOfControlsAlone) {
    StartUp(p, shell, false);
    const auto before = p.window.controls;
    p.UiLanguage = 1;
    RebuildTexts(p);
    for (int id = 0; id < kControlCount; ++id) EXPECT_EQ(C(id).enabled, before[size_t(id)].enabled) << id;
    // The counters keep their start captions: only the refresh writes them.
    EXPECT_EQ(C(ids::ClipboardCounter).text, "Clipboard");
    for (int id = 0; id < kMenuItemCount; ++id) EXPECT_TRUE(M(id).enabled) << id;
}

// --- Dispatch ----------------------------------------------------------------

TEST_F(WindowState, ACancelledOpenWarnsAndStillRewritesTheStatusFields) {
    StartUp(p, shell, false);
    Open(1, "");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].title, " Hint");
    EXPECT_EQ(shell.messages[0].text, "You can open only Milkshape 3D ASCII files!");
    EXPECT_EQ(shell.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(p.window.status[0], "  " + std::string(texts::CopyrightLine));
    EXPECT_EQ(p.window.status[1], " Joints: ");
    EXPECT_EQ(p.window.status[2], " Compatible: 0");
    EXPECT_EQ(p.window.status[3], " Joints: ");
    EXPECT_EQ(p.window.status[4], kReadyEn);
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(WindowState, TheBusyTextStandsWhileTheDialogsAreOpen) {
    StartUp(p, shell, false);
    const int before = shell.statusChanges;
    Open(1, walk);
    EXPECT_EQ(shell.statusWhileOpenDialog, std::vector<std::string>{kBusyEn});
    EXPECT_EQ(p.window.status[4], kReadyEn);
    EXPECT_EQ(shell.statusChanges, before + 2);  // busy, then ready
    shell.settingsChoice = 1;
    HandleMenu(p, shell, menu::Settings);
    EXPECT_EQ(shell.statusWhileSettingsDialog, std::vector<std::string>{kBusyEn});
    EXPECT_EQ(p.window.status[4], kReadyDe);
    Open(2, other);
    EXPECT_EQ(shell.statusWhileOpenDialog.back(), kBusyDe);
}

TEST_F(WindowState, TheOpenDialogGetsTitleFilterAndTheRememberedFile) {
    StartUp(p, shell, false);
    Open(2, other);
    ASSERT_EQ(shell.openRequests.size(), 1u);
    EXPECT_EQ(shell.openRequests[0].title, " Please select Milkshape 3D ASCII file 2");
    EXPECT_EQ(shell.openRequests[0].filter, "Milkshape 3D ASCII files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(shell.openRequests[0].defaultFile, "");
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=\r\nFILE2=" + other + "\r\nLANGUAGE=0\r\n");
    Open(2, "");
    EXPECT_EQ(shell.openRequests[1].defaultFile, other);
    // A cancelled open leaves the loaded file in place.
    EXPECT_EQ(C(ids::PathField2).text, other);
    EXPECT_EQ(C(ids::KeyframeCounter2).text, "Keyframes: 2");
}

TEST_F(WindowState, SettingsWithCancelStillWritesTheFileAndRebuildsTheMenu) {
    StartUp(p, shell, false);
    shell.settingsChoice.reset();
    ASSERT_TRUE(HandleMenu(p, shell, menu::Settings));
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=\r\nFILE2=\r\nLANGUAGE=0\r\n");
    EXPECT_EQ(p.UiLanguage, 0);
    EXPECT_EQ(p.HelpFileName, "VandrelEnglish.chm");
    EXPECT_EQ(p.window.status[2], " Compatible: 0");  // written by the rebuild
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes: 0");
    for (int id = 0; id < kMenuItemCount; ++id) EXPECT_EQ(M(id).enabled, id < 2 || (id > 7 && id != 12 && id != 13)) << id;
}

TEST_F(WindowState, OnlyYesToTheQuitQuestionQuitsAndNothingIsWritten) {
    StartUp(p, shell, false);
    Open(1, walk);
    std::filesystem::remove(p.SettingsFileName);
    const std::string model = ReadFile(walk);
    Select(1, {0});
    HandleControl(p, shell, ids::CutButton1);

    shell.answerYes = false;
    HandleCloseRequest(p, shell);
    EXPECT_FALSE(p.QuitRequested);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].title, " Quit");
    EXPECT_EQ(shell.questions[0].text, "Do you really want to quit Vandrel?");
    EXPECT_EQ(shell.questions[0].icon, MessageIcon::Question);

    shell.answerYes = true;
    const int before = shell.statusChanges;
    ASSERT_TRUE(HandleMenu(p, shell, menu::Quit));
    EXPECT_TRUE(p.QuitRequested);
    EXPECT_EQ(shell.statusChanges, before);  // not bracketed
    EXPECT_FALSE(SettingsWritten());
    EXPECT_EQ(ReadFile(walk), model);
}

TEST_F(WindowState, TheQuitQuestionSpeaksTheCurrentLanguage) {
    WriteSettings("LANGUAGE=1\r\n");
    StartUp(p, shell, false);
    HandleCloseRequest(p, shell);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].title, " Beenden");
    EXPECT_EQ(shell.questions[0].text, "Wollen Sie Vandrel wirklich beenden?");
}

TEST_F(WindowState, HelpOpensTheFileOfTheLanguageAndHintsWhenNothingOpensIt) {
    WriteSettings("LANGUAGE=1\r\n");
    StartUp(p, shell, false);
    const int before = shell.statusChanges;
    shell.helpOpens = true;
    ASSERT_TRUE(HandleMenu(p, shell, menu::HelpContents));
    EXPECT_TRUE(shell.messages.empty());
    shell.helpOpens = false;
    HandleMenu(p, shell, menu::HelpContents);
    EXPECT_EQ(shell.helpFiles, (std::vector<std::string>{"VandrelGerman.chm", "VandrelGerman.chm"}));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].title, " Hinweis");
    EXPECT_EQ(shell.messages[0].text, Latin1("Die Hilfedatei < VandrelGerman.chm > kann nicht geöffnet werden!"));
    EXPECT_EQ(shell.statusChanges, before);  // not bracketed
}

TEST_F(WindowState, AboutFromTheMenuSpeaksTheCurrentLanguageAndIsNotBracketed) {
    WriteSettings("LANGUAGE=1\r\n");
    StartUp(p, shell, true);
    const int before = shell.statusChanges;
    ASSERT_TRUE(HandleMenu(p, shell, menu::About));
    EXPECT_EQ(shell.aboutLanguages, std::vector<int>{1});
    EXPECT_EQ(shell.statusChanges, before);
    EXPECT_EQ(C(ids::KeyframeCounter1).text, "Keyframes");  // no refresh either
}

TEST_F(WindowState, DisabledCommandsAndControlsWithoutACommandDoNothing) {
    StartUp(p, shell, false);
    const int before = shell.statusChanges;
    for (int id : {1, 3, 16, 17, 18, 19, 20, 21, 33}) EXPECT_FALSE(HandleControl(p, shell, id)) << id;
    for (int id : {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 22, 23, 24, 25, 26, 27}) EXPECT_FALSE(HandleControl(p, shell, id)) << id;
    for (int id = 2; id <= 7; ++id) EXPECT_FALSE(HandleMenu(p, shell, id)) << id;
    EXPECT_FALSE(HandleMenu(p, shell, 12));
    EXPECT_FALSE(HandleControl(p, shell, 34));
    EXPECT_EQ(shell.statusChanges, before);
    EXPECT_TRUE(shell.openRequests.empty());
}

TEST_F(WindowState, TheOpenButtonsRunTheSameCommandAsTheMenu) {
    StartUp(p, shell, false);
    shell.openAnswers.push_back(walk);
    ASSERT_TRUE(HandleControl(p, shell, ids::OpenButton1));
    shell.openAnswers.push_back(other);
    ASSERT_TRUE(HandleControl(p, shell, ids::OpenButton2));
    EXPECT_EQ(C(ids::PathField1).text, walk);
    EXPECT_EQ(C(ids::PathField2).text, other);
    EXPECT_TRUE(C(ids::SaveButton1).enabled);
    EXPECT_TRUE(C(ids::SaveButton2).enabled);
    EXPECT_EQ(C(ids::KeyframeCounter2).text, "Keyframes: 2");
    EXPECT_EQ(shell.openRequests[0].title, " Please select Milkshape 3D ASCII file 1");
}

}  // namespace
}  // namespace vandrel
