// Takes the picture of the main window for the documentation: the real window
// with two models opened through the Open commands and a few keyframes copied
// into the Clipboard. Give the models by relative paths: the window shows them.
//   vandrel_screenshot MODEL1 MODEL2 OUTPUT.png
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <deque>

#include "app/Commands.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtShell.h"

namespace {

// The open dialogs answered with the given models; nothing else is asked.
class ScreenshotShell : public vandrel::QtShell {
public:
    using QtShell::QtShell;
    std::deque<std::string> answers;
    std::string AskOpenPath(const vandrel::OpenDialogRequest&) override {
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const vandrel::Message& message) override {
        std::fprintf(stderr, "vandrel_screenshot: %s: %s\n", message.title.c_str(), message.text.c_str());
    }
};

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: vandrel_screenshot MODEL1 MODEL2 OUTPUT.png\n");
        return 2;
    }
    // The settings file the Open commands write goes into a scratch folder.
    QTemporaryDir scratch;
    vandrel::Program p;
    p.SettingsFileName = QDir(scratch.path()).filePath("Vandrel.ini").toStdString();
    ScreenshotShell shell(vandrel::LoadAboutResources());
    // The models as given, relative to the working folder: the path fields show
    // no folder of the machine the picture was taken on.
    shell.answers = {argv[1], argv[2]};

    vandrel::StartUp(p, shell, false);
    vandrel::QtMainWindow window(p, shell);
    shell.SetWindow(&window);
    window.show();
    Settle();
    window.RunMenuCommand(vandrel::menu::OpenFile1);
    window.RunMenuCommand(vandrel::menu::OpenFile2);
    if (p.ws.File(1).Rows.empty() || p.ws.File(2).Rows.empty()) {
        std::fprintf(stderr, "vandrel_screenshot: the models did not open\n");
        return 1;
    }
    // Copy the first few keyframes of File 1, and leave them selected.
    auto& rows = p.ws.File(1).Rows;
    for (size_t i = 0; i < rows.size() && i < 4; ++i) rows[i].Selected = true;
    window.RunControlCommand(vandrel::ids::CopyButton1);
    Settle();

    const QPixmap picture = window.grab();
    shell.SetWindow(nullptr);
    if (!picture.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "vandrel_screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
