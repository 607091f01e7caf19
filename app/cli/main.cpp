// vandrel-cli: the headless twin of the Vandrel window.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/Texts.h"
#include "app/cli/CliRunner.h"
#ifdef VANDREL_PDF
#include "app/qt/PreviewPainting.h"
#include "app/qt/QtPrintSurface.h"
#endif

int main(int argc, char** argv) {
    CLI::App app{"vandrel-cli: runs Vandrel's window commands from a script, without a screen."};
    app.footer(vandrel::CliCommandTable());
    vandrel::CliOptions options;
    std::string scriptPath = "-";
    app.add_flag("--keep-going", options.keepGoing, "go on after a message box; exit 1 at the end");
    app.add_option("SCRIPT", scriptPath, "the script file; '-' or none reads standard input");
    app.set_version_flag("--version", vandrel::Utf8FromBytes(vandrel::Tr(vandrel::texts::VersionLine, 0)));
    CLI11_PARSE(app, argc, argv);
#ifdef VANDREL_PDF
    options.makePdf = vandrel::MakePdfSurface;
    options.writePng = vandrel::WritePreviewPng;
#endif

    std::string script;
    if (scriptPath == "-") {
        script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(scriptPath, std::ios::binary);
        if (!in) {
            std::cerr << "vandrel-cli: cannot read the script " << scriptPath << "\n";
            return 2;
        }
        script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return vandrel::RunCliScript(script, options, std::cout, std::cerr);
}
