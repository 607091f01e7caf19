#pragma once
// PDF files and PNG pictures for vandrel-cli. They need Qt, which takes longer to
// load than most scripts take to run, so they live in a module of their own that
// vandrel-cli loads the first time a script prints or draws.
#include <memory>
#include <string>

#include "output/PrintSurface.h"
#include "preview/PreviewView.h"

namespace vandrel {

struct OutputDevices {
    // An A4 PDF file at the path, portrait or landscape.
    std::unique_ptr<PrintSurface> (*makePdf)(const std::string& path, bool landscape);
    // The preview's picture of the model as a PNG file, drawn with OpenGL and
    // with the model's textures; false when it cannot be written.
    bool (*writePng)(const PreviewModel& model, const PreviewShot& shot, const std::string& path);
};

// The module's devices; null when the module cannot be loaded (then `problem`
// says why). Loaded once, on the first call.
const OutputDevices* LoadOutputDevices(std::string& problem);

}  // namespace vandrel

// The module's one entry point.
extern "C" const vandrel::OutputDevices* VandrelOutputDevices();
