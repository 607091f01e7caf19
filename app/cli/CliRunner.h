#pragma once
// vandrel-cli: runs a script of window commands against the program state.
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "output/PrintSurface.h"
#include "preview/PreviewView.h"

namespace vandrel {

struct CliOptions {
    bool keepGoing = false;
    // The answer to the print dialog: a surface writing an A4 PDF at the path.
    std::function<std::unique_ptr<PrintSurface>(const std::string& path, bool landscape)> makePdf;
    // `render`: draws the preview's picture into a PNG file; false when it cannot be written.
    std::function<bool(const PreviewModel& model, const PreviewShot& shot, const std::string& path)> writePng;
};

// Runs the script text; returns the exit status (0, 1 after a message, 2 for a
// malformed or refused command).
int RunCliScript(const std::string& script, const CliOptions& options, std::ostream& out, std::ostream& err);

// The commands, for --help.
std::string CliCommandTable();

}  // namespace vandrel
