// Draws the About picture (resources/about.jpg, 122 x 150, baseline JPEG with
// three components) and the program icon (resources/vandrel.png). Run once when
// the pictures change; the program embeds the files, not this tool:
//   cmake --build build --target vandrel_make_pictures
//   build/app/qt/vandrel_make_pictures resources
#include <cstdio>
#include <jpeglib.h>

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <string>
#include <vector>

namespace {

const QColor kInk(247, 240, 214);
const QColor kGhost(247, 240, 214, 70);
const QColor kKey(236, 176, 54);

// A walking stick figure: hip at (x, y), legs and arms swung by `phase` (-1..1).
void DrawFigure(QPainter& g, double x, double y, double phase, const QColor& colour, double width) {
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    g.setPen(pen);
    g.setBrush(Qt::NoBrush);
    const QPointF hip(x, y), neck(x + 2, y - 38);
    g.drawLine(hip, neck);
    g.setBrush(colour);
    g.drawEllipse(QPointF(x + 3, y - 48), 7.5, 7.5);
    g.setBrush(Qt::NoBrush);
    auto limb = [&](QPointF root, double upper, double lower, double angle, double bend) {
        const QPointF joint = root + QPointF(std::sin(angle) * upper, std::cos(angle) * upper);
        const QPointF end = joint + QPointF(std::sin(angle - bend) * lower, std::cos(angle - bend) * lower);
        QPainterPath path(root);
        path.lineTo(joint);
        path.lineTo(end);
        g.drawPath(path);
    };
    limb(hip, 22, 22, 0.45 * phase, -0.35);
    limb(hip, 22, 22, -0.45 * phase, -0.05);
    limb(neck, 17, 15, -0.6 * phase, 0.5);
    limb(neck, 17, 15, 0.6 * phase, 0.5);
}

void DrawKeyframe(QPainter& g, QPointF centre, double r, const QColor& colour) {
    QPolygonF diamond;
    diamond << centre + QPointF(0, -r) << centre + QPointF(r, 0) << centre + QPointF(0, r) << centre + QPointF(-r, 0);
    g.setPen(QPen(QColor(60, 40, 10), 1));
    g.setBrush(colour);
    g.drawPolygon(diamond);
}

QImage AboutPicture() {
    QImage image(122, 150, QImage::Format_RGB888);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(31, 58, 96));
    sky.setColorAt(0.75, QColor(58, 96, 128));
    sky.setColorAt(1, QColor(92, 70, 52));
    g.fillRect(image.rect(), sky);
    // Faint grid of frames behind the figure.
    g.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int x = 6; x < 122; x += 12) g.drawLine(x, 0, x, 118);
    DrawFigure(g, 40, 88, -0.8, kGhost, 3.5);
    DrawFigure(g, 62, 86, 0.1, kGhost, 3.5);
    DrawFigure(g, 84, 88, 0.9, kInk, 4.5);
    // The timeline with its keyframes.
    g.fillRect(QRectF(0, 118, 122, 32), QColor(38, 30, 24));
    g.setPen(QPen(QColor(170, 150, 120), 1.5));
    g.drawLine(QPointF(8, 134), QPointF(114, 134));
    for (int x = 8; x <= 114; x += 6) g.drawLine(QPointF(x, 131), QPointF(x, 137));
    DrawKeyframe(g, {20, 134}, 5.5, kKey);
    DrawKeyframe(g, {50, 134}, 5.5, kKey);
    DrawKeyframe(g, {80, 134}, 5.5, kKey);
    DrawKeyframe(g, {104, 134}, 5.5, QColor(226, 96, 60));
    g.end();
    return image;
}

QImage Icon() {
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, 64);
    back.setColorAt(0, QColor(41, 74, 118));
    back.setColorAt(1, QColor(24, 44, 72));
    g.setPen(Qt::NoPen);
    g.setBrush(back);
    g.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    DrawFigure(g, 30, 44, 0.8, kInk, 4);
    DrawKeyframe(g, {50, 50}, 8, kKey);
    g.end();
    return image;
}

bool WriteJpeg(const QImage& image, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string folder = argc > 1 ? argv[1] : ".";
    if (!WriteJpeg(AboutPicture(), folder + "/about.jpg")) return 1;
    if (!Icon().save(QString::fromStdString(folder + "/vandrel.png"), "PNG")) return 1;
    return 0;
}
