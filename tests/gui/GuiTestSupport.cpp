#include "GuiTestSupport.h"

#include <QApplication>
#include <QTimer>
#include <memory>

#include "ModelGenerator.h"

namespace vandrel::test {

std::string TestShell::AskOpenPath(const OpenDialogRequest&) {
    if (duringOpenDialog) duringOpenDialog();
    if (openAnswers.empty()) return {};
    std::string answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

namespace {

void TryModal(std::shared_ptr<std::function<void(QWidget*)>> act, int triesLeft) {
    QTimer::singleShot(0, qApp, [act, triesLeft] {
        if (QWidget* dialog = QApplication::activeModalWidget()) (*act)(dialog);
        else if (triesLeft > 0) TryModal(act, triesLeft - 1);
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

std::string ModelText(const std::vector<int>& frames) { return FileText(FileLines(AnimatedModel(Skeleton(3), frames))); }

}  // namespace vandrel::test
