#include "app/qt/QtWidgets.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "app/qt/JpegPicture.h"

namespace vandrel {

QLineEdit* MakeBorderlessField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setFocusPolicy(Qt::NoFocus);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    return field;
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void PlaceBeside(QWidget* window, const QWidget* main, const QRect& keep) {
    QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry(), beside = main->frameGeometry();
    const QMargins frame = window->windowHandle() && !window->windowHandle()->frameMargins().isNull()
                               ? window->windowHandle()->frameMargins()
                               : LikelyWindowFrame(window);
    const QSize outer = window->size().grownBy(frame);
    int x;
    if (area.right() - beside.right() >= outer.width()) x = beside.right() + 1;
    else if (beside.left() - area.left() >= outer.width()) x = beside.left() - outer.width();
    else if (keep.center().x() < area.center().x()) x = area.right() + 1 - outer.width();
    else x = area.left();
    const int y = std::clamp(beside.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    window->move(x, y);  // the frame's top left corner
}

QMargins LikelyWindowFrame(const QWidget* window) {
    const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    return {border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + border, border, border};
}

namespace {

// The whole window pixels within `logical` pixels of a screen scaled by `ratio`:
// at 150 % a free area of 1,024 device pixels reads as 683, which would take 1,025.
int WholeWithin(int logical, qreal ratio) {
    return ratio <= 1 ? logical : int(std::floor(std::floor(logical * ratio + 1e-9) / ratio + 1e-9));
}

}  // namespace

void FitWindowToScreen(QMainWindow* window, QScrollArea* scroll, int below, const QMargins& frame) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen || !scroll->widget()) return;
    const QRect area = screen->availableGeometry();
    const qreal ratio = screen->devicePixelRatio();
    const int menuHeight = window->menuWidget() ? window->menuWidget()->sizeHint().height() : 0;
    const QSize room(WholeWithin(area.width(), ratio) - frame.left() - frame.right(),
                     WholeWithin(area.height(), ratio) - frame.top() - frame.bottom() - menuHeight - below);
    const int bar = scroll->verticalScrollBar()->sizeHint().width();
    QSize view = scroll->widget()->size();
    // A scroll bar takes room from the other direction, which may then need one too.
    bool vertical = view.height() > room.height();
    bool horizontal = view.width() + (vertical ? bar : 0) > room.width();
    vertical = vertical || view.height() + (horizontal ? bar : 0) > room.height();
    view += QSize(vertical ? bar : 0, horizontal ? bar : 0);
    view = view.boundedTo(room);
    window->setFixedSize(view.width(), view.height() + menuHeight + below);
    const QSize outer = window->size().grownBy(frame);
    window->move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                 area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

void SetReadingTabOrder(std::vector<QWidget*> controls) {
    std::stable_sort(controls.begin(), controls.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    std::vector<QWidget*> order;
    while (!controls.empty()) {
        const QWidget* first = controls.front();
        const auto beyond = std::stable_partition(controls.begin(), controls.end(), [first](QWidget* w) {
            const int middle = w->y() + w->height() / 2;
            return middle >= first->y() && middle < first->y() + first->height();
        });
        std::stable_sort(controls.begin(), beyond, [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        order.insert(order.end(), controls.begin(), beyond);
        controls.erase(controls.begin(), beyond);
    }
    std::erase_if(order, [](QWidget* w) { return !(w->focusPolicy() & Qt::TabFocus); });
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void MakeFixedDialog(QWidget* dialog, int clientWidth, int clientHeight) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(clientWidth, clientHeight);
}

}  // namespace vandrel
