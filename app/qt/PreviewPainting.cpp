#include "app/qt/PreviewPainting.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QVector>

#include "app/qt/QtPrintSurface.h"
#include "output/SafeWrite.h"

namespace vandrel {

namespace {

constexpr qreal kJointRadius = 3.5;
constexpr int kLabelPixels = 14;

QPointF Point(const PreviewPoint& p) { return {p.X, p.Y}; }

void PaintLines(QPainter& painter, const std::vector<PreviewSegment>& segments, const QColor& colour, qreal width) {
    QVector<QLineF> lines;
    lines.reserve(qsizetype(segments.size()));
    for (const PreviewSegment& s : segments) lines.append(QLineF(Point(s.A), Point(s.B)));
    painter.setPen(QPen(colour, width));
    painter.drawLines(lines);
}

}  // namespace

void PaintPreview(QPainter& painter, const PreviewDrawing& drawing) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, drawing.Width, drawing.Height), preview_colours::Background);
    painter.setClipRect(QRect(0, 0, drawing.Width, drawing.Height));
    PaintLines(painter, drawing.MeshLines, preview_colours::Mesh, 1);
    PaintLines(painter, drawing.BoneLines, preview_colours::Bone, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(preview_colours::Joint);
    for (const PreviewPoint& joint : drawing.Joints) painter.drawEllipse(Point(joint), kJointRadius, kJointRadius);
    QFont font = painter.font();
    font.setPixelSize(kLabelPixels);
    painter.setFont(font);
    painter.setPen(preview_colours::Label);
    painter.drawText(QPointF(drawing.LabelAt.X, drawing.LabelAt.Y + painter.fontMetrics().ascent()),
                     QString::fromLatin1(drawing.Label.data(), qsizetype(drawing.Label.size())));
    painter.restore();
}

bool WritePreviewPng(const PreviewDrawing& drawing, const std::string& path) {
    EnsureGuiApplication();
    QImage image(drawing.Width, drawing.Height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    {
        QPainter painter(&image);
        PaintPreview(painter, drawing);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return false;
    return WriteFileSafely(path, std::string_view(png.constData(), size_t(png.size())));
}

}  // namespace vandrel
