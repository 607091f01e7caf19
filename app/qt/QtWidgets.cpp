#include "app/qt/QtWidgets.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <cstring>

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

void MakeFixedDialog(QWidget* dialog, int clientWidth, int clientHeight) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(clientWidth, clientHeight);
}

QImage ToQImage(const RgbPicture& picture) {
    if (picture.Width <= 0 || picture.Height <= 0) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
    if (image.isNull()) return {};
    const size_t rowBytes = size_t(picture.Width) * 3;
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(image.scanLine(y), picture.Rgb.data() + size_t(y) * rowBytes, rowBytes);
    return image;
}

}  // namespace vandrel
