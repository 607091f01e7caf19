#include "app/qt/PreviewPainting.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>

#include "app/qt/QtPrintSurface.h"
#include "output/SafeWrite.h"

namespace vandrel {

namespace {

constexpr int kLabelPixels = 14;
constexpr int kLabelInset = 8;

// The picture as an image with the label in its top left corner.
QImage LabelledImage(const RgbaPicture& picture, const std::string& label) {
    QImage image = QImage(picture.Pixels.data(), picture.Width, picture.Height, picture.Width * 4, QImage::Format_RGBA8888)
                       .convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(kLabelPixels);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(kLabelInset, kLabelInset + painter.fontMetrics().ascent()),
                     QString::fromLatin1(label.data(), qsizetype(label.size())));
    return image;
}

}  // namespace

std::string FindTextureFile(const std::string& folder, const std::string& textureFile) {
    if (textureFile.empty()) return {};
    QString written = QFile::decodeName(QByteArray::fromStdString(textureFile));
    written.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString base = QFile::decodeName(QByteArray::fromStdString(folder));
    const QFileInfo asWritten(QDir::isAbsolutePath(written) ? written : QDir(base.isEmpty() ? "." : base).filePath(written));
    // The folders as written; the file's name in any case.
    const QDir where = asWritten.dir();
    if (!where.exists()) return {};
    for (const QString& name : where.entryList(QDir::Files))
        if (name.compare(asWritten.fileName(), Qt::CaseInsensitive) == 0)
            return QFile::encodeName(where.filePath(name)).toStdString();
    return {};
}

PreviewTextures LoadPreviewTextures(const PreviewModel& model) {
    PreviewTextures textures(model.Materials.size());
    for (size_t m = 0; m < model.Materials.size(); ++m) {
        const std::string path = FindTextureFile(model.Folder, model.Materials[m].TextureFile);
        if (path.empty()) continue;
        const QImage image = QImage(QFile::decodeName(QByteArray::fromStdString(path))).convertToFormat(QImage::Format_RGBA8888);
        if (image.isNull()) continue;
        auto texture = std::make_shared<PreviewTexture>();
        texture->Width = image.width();
        texture->Height = image.height();
        texture->Pixels.resize(size_t(image.width()) * size_t(image.height()) * 4);
        for (int y = 0; y < image.height(); ++y)
            std::copy_n(image.constScanLine(y), size_t(image.width()) * 4, texture->Pixels.data() + size_t(y) * image.width() * 4);
        textures[m] = std::move(texture);
    }
    return textures;
}

QImage PreviewImage(GlPreviewRenderer& renderer, const PreviewModel& model, const PreviewShot& shot) {
    return LabelledImage(renderer.Draw(model, shot.Pose, shot.Matrices, shot.Look, shot.Bounds, shot.Width, shot.Height),
                         shot.Label);
}

bool WritePreviewPng(const PreviewModel& model, const PreviewShot& shot, const std::string& path) {
    EnsureGuiApplication();
    static GlPreviewRenderer renderer;
    renderer.SetTextures(LoadPreviewTextures(model));
    const QImage image = PreviewImage(renderer, model, shot);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return false;
    return WriteFileSafely(path, std::string_view(png.constData(), size_t(png.size())));
}

}  // namespace vandrel
