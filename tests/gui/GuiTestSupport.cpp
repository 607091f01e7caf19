#include "GuiTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <memory>

#include "ModelGenerator.h"
#include "output/PrintSurface.h"

namespace vandrel::test {

TestShell::TestShell() : QtShell(LoadAboutResources()) {}

std::string TestShell::AskOpenPath(const OpenDialogRequest& request) {
    openRequests.push_back(request);
    if (duringOpenDialog) duringOpenDialog();
    if (openAnswers.empty()) return {};
    std::string answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

void TestShell::ShowMessage(const Message& message) { messages.push_back(message); }

bool TestShell::AskYesNo(const Message& question) {
    questions.push_back(question);
    return answerYes;
}

bool TestShell::OpenHelpFile(const std::string& name) {
    helpFiles.push_back(name);
    return false;
}

std::unique_ptr<PrintSurface> TestShell::AskPrinter(const std::string& jobName) {
    return realPrintDialog ? QtShell::AskPrinter(jobName) : nullptr;
}

namespace {

void TryModal(std::shared_ptr<std::function<void(QWidget*)>> act, int triesLeft) {
    QTimer::singleShot(0, qApp, [act, triesLeft] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            (*act)(dialog);
        } else if (triesLeft > 0) {
            TryModal(act, triesLeft - 1);
        }
    });
}

}  // namespace

void WhenModalOpens(std::function<void(QWidget* dialog)> act) {
    TryModal(std::make_shared<std::function<void(QWidget*)>>(std::move(act)), 1000);
}

void ProcessEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

std::string ModelText(const std::vector<int>& frames) {
    return FileText(FileLines(AnimatedModel(Skeleton(3), frames)));
}

}  // namespace vandrel::test
