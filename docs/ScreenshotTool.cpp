// Takes the picture of the main window for the documentation: the real window
// with two models opened through the Open commands and a few keyframes copied
// into the Clipboard. Give the models by relative paths: the window shows them.
//   vandrel_screenshot MODEL1 MODEL2 OUTPUT.png [german] [clipboard]
// "german" shows the window in German, "clipboard" takes only the frame of the
// Clipboard's fields with the lists above it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
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
    if (argc < 4) {
        std::fprintf(stderr, "usage: vandrel_screenshot MODEL1 MODEL2 OUTPUT.png [german] [clipboard]\n");
        return 2;
    }
    bool german = false, clipboardOnly = false;
    for (int a = 4; a < argc; ++a) {
        german = german || std::strcmp(argv[a], "german") == 0;
        clipboardOnly = clipboardOnly || std::strcmp(argv[a], "clipboard") == 0;
    }
    // The settings file the Open commands write goes into a scratch folder.
    QTemporaryDir scratch;
    vandrel::Program p;
    p.SettingsFileName = QDir(scratch.path()).filePath("Vandrel.ini").toStdString();
    ScreenshotShell shell(vandrel::LoadAboutResources());
    // The models as given, relative to the working folder: the path fields show
    // no folder of the machine the picture was taken on.
    shell.answers = {argv[1], argv[2]};

    if (german) {
        QFile settings(QString::fromStdString(p.SettingsFileName));
        if (settings.open(QIODevice::WriteOnly)) settings.write("LANGUAGE=1\r\n");
    }
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

    QPixmap picture = window.grab();
    if (clipboardOnly) {
        // The frame and the lists around the Clipboard, in the window's pixels.
        QWidget* frame = window.Control(vandrel::ids::ClipboardFrame);
        const QRect box(frame->mapTo(&window, QPoint(0, 0)), frame->size());
        const QRect shown = box.adjusted(-10, -80, 10, 10).intersected(window.rect());
        const qreal ratio = picture.devicePixelRatio();
        picture = picture.copy(QRectF(shown.topLeft() * ratio, shown.size() * ratio).toRect());
    }
    shell.SetWindow(nullptr);
    if (!picture.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "vandrel_screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
