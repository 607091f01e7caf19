#pragma once
// The real window and dialogs, with a shell that answers the open dialog, the
// message boxes, the quit question and the help from the test.
#include <deque>
#include <functional>
#include <vector>

#include "app/qt/QtShell.h"
#include "output/PrintSurface.h"

namespace vandrel::test {

class TestShell : public QtShell {
public:
    TestShell() : QtShell(LoadAboutResources()) {}

    std::deque<std::string> openAnswers;    // none left: cancelled
    std::function<void()> duringOpenDialog;  // runs while the open dialog would be on the screen
    std::vector<Message> messages, questions;
    bool answerYes = false;
    std::vector<std::string> helpFiles;  // asked for; none opens
    bool realPrintDialog = false;        // else the print dialog is cancelled unseen

    std::string AskOpenPath(const OpenDialogRequest&) override;
    void ShowMessage(const Message& message) override { messages.push_back(message); }
    bool AskYesNo(const Message& question) override { return questions.push_back(question), answerYes; }
    bool OpenHelpFile(const std::string& name) override { return helpFiles.push_back(name), false; }
    std::unique_ptr<PrintSurface> AskPrinter(const std::string& job) override {
        return realPrintDialog ? QtShell::AskPrinter(job) : nullptr;
    }
};

// Runs `act` on the next modal dialog once it is open, from inside its own loop.
void WhenModalOpens(std::function<void(QWidget* dialog)> act);

// The width a control needs for its caption: the text's advance plus the style's margins.
int CaptionNeeds(QWidget* control);

// The children of `parent` that show a caption: buttons, frames, labels with a
// text and the borderless fields that serve as labels.
std::vector<QWidget*> CaptionedChildren(QWidget* parent);

// Lets queued commands and posted events run.
void ProcessEvents();

// A model on a small skeleton of three bones, keyed at `frames`, as file text.
std::string ModelText(const std::vector<int>& frames);

}  // namespace vandrel::test
