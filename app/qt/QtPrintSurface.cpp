#include "app/qt/QtPrintSurface.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPdfWriter>

#include "app/qt/QtText.h"

namespace vandrel {

namespace {

// Fonts are sized in points for a display of 96 pixels per inch.
constexpr int kDisplayDpi = 96;

}  // namespace

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPagedPaintDevice> device) : device_(std::move(device)) {}

QtPrintSurface::~QtPrintSurface() {
    if (painter_.isActive()) painter_.end();
}

bool QtPrintSurface::StartJob(const std::string& jobName) {
    if (auto* pdf = dynamic_cast<QPdfWriter*>(device_.get())) pdf->setTitle(ToQString(jobName));
    return device_ != nullptr;
}

int QtPrintSurface::PageHeight() const { return device_->height(); }
int QtPrintSurface::PageWidth() const { return device_->width(); }

bool QtPrintSurface::BeginDrawing() {
    if (!painter_.begin(device_.get())) return false;
    painter_.setPen(QColor(0, 0, 0));
    painter_.setBackground(QColor(255, 255, 255));
    painter_.setBackgroundMode(Qt::OpaqueMode);
    return true;
}

void QtPrintSurface::NewPage() { device_->newPage(); }

void QtPrintSurface::SetFont(bool bold, int points) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, points * kDisplayDpi / 72));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    painter_.setFont(font);
}

void QtPrintSurface::DrawText(int x, int y, const std::string& text, int width) {
    QString shown = ToQString(text);
    if (width > 0) shown = painter_.fontMetrics().elidedText(shown, Qt::ElideRight, width);
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), shown);
}

void QtPrintSurface::EndJob() {
    if (painter_.isActive()) painter_.end();
}

void EnsureGuiApplication() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "vandrel-cli";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Standard error carries vandrel-cli's messages alone; Qt's notes about
        // its platform (runtime folder, fonts) must not mix into them.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        new QGuiApplication(argc, argv);
    }
}

std::unique_ptr<PrintSurface> MakePdfSurface(const std::string& path, bool landscape) {
    EnsureGuiApplication();
    auto writer = std::make_unique<QPdfWriter>(QString::fromLocal8Bit(path.c_str()));
    writer->setResolution(600);
    writer->setPageSize(QPageSize(QPageSize::A4));
    writer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    return std::make_unique<QtPrintSurface>(std::move(writer));
}

}  // namespace vandrel
