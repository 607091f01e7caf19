// Undo and Redo as a property of any session: after two opens and up to a
// hundred random commands, undoing them gives the workspace after the opens
// again and redoing them all gives the last one; no undo touches a saved file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "app/Commands.h"
#include "app/Dump.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using Json = nlohmann::json;

// Answers the open dialog with `path`.
struct QuietShell : Shell {
    std::string path;
    std::string AskOpenPath(const OpenDialogRequest&) override { return path; }
};

// What undo brings back, from the dump: both files (with their selection where
// asked), the Clipboard and the compatibility. The window's enabled states follow
// their own rules after each command, and what is modified depends on the saves.
Json StateOf(const Program& p, bool withSelection) {
    const Json d = Json::parse(DumpState(p, {}));
    Json state = {{"files", d["files"]},
                  {"clipboard", d["clipboard"]},
                  {"clipboardSource", d["clipboardSource"]},
                  {"compatibleCount", d["compatibleCount"]},
                  {"status", d["window"]["status"]}};
    if (!withSelection)
        for (Json& file : state["files"]) file.erase("selected");
    return state;
}

// The first place where two states differ, to keep failures short.
std::string FirstDifference(const Json& a, const Json& b) {
    const Json patch = Json::diff(a, b);
    return patch.empty() ? "" : patch[0].dump().substr(0, 300);
}

int Pick(std::mt19937& rng, int low, int high) { return low + int(rng() % unsigned(high - low + 1)); }

TEST(Undo, UndoingEveryCommandGivesTheOpenedFilesAndRedoingGivesTheLastState) {
    test::TempDir dir;
    for (unsigned seed = 0; seed < 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        const auto skeleton = test::Skeleton(Pick(rng, 1, 4));
        for (const char* name : {"a.txt", "b.txt"})
            test::WriteFile(dir / name, test::FileText(test::FileLines(test::RandomAnimatedModel(rng, skeleton))));
        Program p;
        p.SettingsFileName = dir / "Vandrel.ini";
        QuietShell shell;
        StartUp(p, shell, false);
        for (int n : {1, 2}) {
            shell.path = dir / (n == 1 ? "a.txt" : "b.txt");
            ASSERT_TRUE(HandleControl(p, shell, n == 1 ? ids::OpenButton1 : ids::OpenButton2));
        }
        const size_t opens = p.history.UndoSteps();
        // What undoing everything after the opens must give: the workspace right
        // before the first command recorded after them (a save before it stays).
        Json opened = StateOf(p, false);

        std::string savedPath, savedBytes;
        for (int step = Pick(rng, 1, 100); step > 0; --step) {
            if (p.history.UndoSteps() == opens) opened = StateOf(p, false);
            const int n = Pick(rng, 1, 2);
            for (KeyframeRow& row : p.ws.File(n).Rows) row.Selected = Pick(rng, 0, 2) == 0;
            switch (Pick(rng, 0, 5)) {
                case 0: HandleControl(p, shell, n == 1 ? ids::CutButton1 : ids::CutButton2); break;
                case 1: HandleControl(p, shell, n == 1 ? ids::CopyButton1 : ids::CopyButton2); break;
                case 2: HandleControl(p, shell, n == 1 ? ids::PasteButton1 : ids::PasteButton2); break;
                case 3:
                    p.window.controls[ids::AtField].text = std::to_string(Pick(rng, 1, 60));
                    p.window.controls[ids::StepwidthField].text = std::to_string(Pick(rng, -2, 2));
                    HandleControl(p, shell, ids::ClipboardOkButton);
                    break;
                case 4:
                    if (Pick(rng, 0, 3) == 0 && HandleControl(p, shell, n == 1 ? ids::SaveButton1 : ids::SaveButton2)) {
                        savedPath = p.ws.File(n).Path;
                        savedBytes = test::ReadFile(savedPath);
                    }
                    break;
                default:
                    if (p.history.UndoSteps() > opens) HandleMenu(p, shell, menu::Undo);
                    break;
            }
        }
        const Json last = StateOf(p, true);

        int undone = 0;
        while (p.history.UndoSteps() > opens) {
            ASSERT_TRUE(HandleMenu(p, shell, menu::Undo));
            ++undone;
        }
        EXPECT_EQ(FirstDifference(StateOf(p, false), opened), "");
        if (!savedPath.empty()) {
            EXPECT_EQ(test::ReadFile(savedPath), savedBytes);
        }
        for (int k = 0; k < undone; ++k) ASSERT_TRUE(HandleMenu(p, shell, menu::Redo));
        EXPECT_EQ(FirstDifference(StateOf(p, true), last), "");
    }
}

TEST(Undo, TheHistoryKeepsTheLastHundredStepsAndACommandThatChangesNothingIsNoStep) {
    test::TempDir dir;
    test::WriteFile(dir / "a.txt", test::FileText(test::FileLines(test::AnimatedModel(test::Skeleton(2), {1, 10, 20}))));
    Program p;
    p.SettingsFileName = dir / "Vandrel.ini";
    QuietShell shell;
    StartUp(p, shell, false);
    shell.path = dir / "a.txt";
    HandleControl(p, shell, ids::OpenButton1);
    p.ws.File(1).Rows[0].Selected = true;
    HandleControl(p, shell, ids::CopyButton1);
    ASSERT_EQ(p.history.UndoSteps(), 2u);
    HandleControl(p, shell, ids::CopyButton1);  // the same Clipboard again
    EXPECT_EQ(p.history.UndoSteps(), 2u);
    for (int k = 0; k < 120; ++k) {
        HandleControl(p, shell, ids::CopyButton1);
        p.window.controls[ids::AtField].text = std::to_string(k + 1);
        HandleControl(p, shell, ids::ClipboardOkButton);
    }
    EXPECT_EQ(p.history.UndoSteps(), UndoHistory::kMaxSteps);
}

}  // namespace
}  // namespace vandrel
