#pragma once
// The real window and dialogs, with a shell that answers the open dialog, the
// message boxes and the quit question from the test.
#include <QImage>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/qt/QtShell.h"

namespace vandrel::test {

class TestShell : public QtShell {
public:
    TestShell();

    std::deque<std::string> openAnswers;  // "" or none left: cancelled
    std::vector<OpenDialogRequest> openRequests;
    // Called while the open dialog would be on the screen.
    std::function<void()> duringOpenDialog;
    std::vector<Message> messages;
    std::vector<Message> questions;
    bool answerYes = false;
    std::vector<std::string> helpFiles;
    bool realPrintDialog = false;  // else the print dialog is cancelled unseen

    std::string AskOpenPath(const OpenDialogRequest& request) override;
    void ShowMessage(const Message& message) override;
    bool AskYesNo(const Message& question) override;
    bool OpenHelpFile(const std::string& name) override;
    std::unique_ptr<PrintSurface> AskPrinter(const std::string& jobName) override;
};

// Runs `act` on the next modal dialog once it is open, from inside its own loop.
void WhenModalOpens(std::function<void(QWidget* dialog)> act);

// Lets queued commands and posted events run.
void ProcessEvents();

// A model on a small skeleton of three bones, keyed at `frames`, as file text.
std::string ModelText(const std::vector<int>& frames);

}  // namespace vandrel::test
