#pragma once
// Printing on a Qt paged device: a printer chosen in the print dialog, or a PDF file.
#include <QPainter>
#include <memory>

#include "output/PrintSurface.h"

class QPagedPaintDevice;

namespace vandrel {

class QtPrintSurface : public PrintSurface {
public:
    // Prints on `device`, which the surface owns.
    explicit QtPrintSurface(std::unique_ptr<QPagedPaintDevice> device);
    ~QtPrintSurface() override;

    bool StartJob(const std::string& jobName) override;
    int PageHeight() const override;
    int PageWidth() const override;
    bool BeginDrawing() override;
    void NewPage() override;
    void SetFont(bool bold, int points) override;
    void DrawText(int x, int y, const std::string& text, int width) override;
    void EndJob() override;

private:
    std::unique_ptr<QPagedPaintDevice> device_;
    QPainter painter_;
};

// Fonts and pictures need a GUI application; vandrel-cli makes one, without a
// screen, the first time it prints or draws.
void EnsureGuiApplication();

// An A4 PDF file at 600 dots per inch, portrait or landscape, without margins.
std::unique_ptr<PrintSurface> MakePdfSurface(const std::string& path, bool landscape);

}  // namespace vandrel
