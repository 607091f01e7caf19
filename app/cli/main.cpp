// vandrel-cli: the headless twin of the Vandrel window.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/Texts.h"
#include "app/cli/CliRunner.h"
#include "app/cli/OutputDevices.h"

namespace {

// The output devices, loaded when a script first prints or draws.
const vandrel::OutputDevices* Devices() {
    std::string problem;
    const vandrel::OutputDevices* devices = vandrel::LoadOutputDevices(problem);
    static bool told = false;
    if (!devices && !told) {
        std::cerr << "vandrel-cli: PDF files and pictures cannot be made: " << problem << "\n";
        told = true;
    }
    return devices;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"vandrel-cli: runs Vandrel's window commands from a script, without a screen."};
    app.footer(vandrel::CliCommandTable());
    vandrel::CliOptions options;
    std::string scriptPath = "-";
    app.add_flag("--keep-going", options.keepGoing, "go on after a message box; exit 1 at the end");
    app.add_option("SCRIPT", scriptPath, "the script file; '-' or none reads standard input");
    app.set_version_flag("--version", 
                           vandrel::Utf8FromBytes(vandrel::Tr(vandrel::texts::VersionLine, vandrel::Language::English)));
    CLI11_PARSE(app, argc, argv);
#ifdef VANDREL_DEVICES_FILE
    options.makePdf = [](const std::string& path, bool landscape) -> std::unique_ptr<vandrel::PrintSurface> {
        const vandrel::OutputDevices* devices = Devices();
        return devices ? devices->makePdf(path, landscape) : nullptr;
    };
    options.writePng = [](const vandrel::PreviewModel& model, const vandrel::PreviewShot& shot, const std::string& path) {
        const vandrel::OutputDevices* devices = Devices();
        return devices && devices->writePng(model, shot, path);
    };
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
