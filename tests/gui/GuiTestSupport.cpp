#include "GuiTestSupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
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

int CaptionNeeds(QWidget* control) {
    const QFontMetrics metrics(control->font());
    if (auto* button = qobject_cast<QPushButton*>(control))
        return metrics.horizontalAdvance(button->text()) + control->style()->pixelMetric(QStyle::PM_ButtonMargin) +
               2 * control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->sizeHint().width();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->minimumSizeHint().width();
    return metrics.horizontalAdvance(qobject_cast<QLineEdit*>(control)->text()) + 4;  // a counter
}

std::vector<QWidget*> CaptionedChildren(QWidget* parent) {
    std::vector<QWidget*> captioned;
    for (QWidget* c : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        auto* field = qobject_cast<QLineEdit*>(c);
        auto* label = qobject_cast<QLabel*>(c);
        if (qobject_cast<QPushButton*>(c) || qobject_cast<QGroupBox*>(c) || (field && !field->hasFrame()) ||
            (label && !label->text().isEmpty()))
            captioned.push_back(c);
    }
    return captioned;
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
