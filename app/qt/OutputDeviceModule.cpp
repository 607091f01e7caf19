// The module vandrel-cli loads to print into PDF files and draw PNG pictures.
#include "app/cli/OutputDevices.h"
#include "app/qt/PreviewPainting.h"
#include "app/qt/QtPrintSurface.h"

extern "C" __attribute__((visibility("default"))) const vandrel::OutputDevices* VandrelOutputDevices() {
    static const vandrel::OutputDevices devices{vandrel::MakePdfSurface, vandrel::WritePreviewPng};
    return &devices;
}
