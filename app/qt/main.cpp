// Vandrel: the window program.
#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "app/Commands.h"
#include "app/qt/AboutWindow.h"
#include "app/qt/EmbeddedPictures.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtShell.h"
#include "app/qt/SingleInstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window closes only through the quit question, never because the
    // About window of a first start was the last one open.
    app.setQuitOnLastWindowClosed(false);
    QPixmap icon;
    if (icon.loadFromData(reinterpret_cast<const uchar*>(vandrel::ProgramIconPng().data()),
                          uint(vandrel::ProgramIconPng().size()), "PNG"))
        app.setWindowIcon(QIcon(icon));

    vandrel::Program p;
    vandrel::AboutResources about = vandrel::LoadAboutResources();

    // A second copy leaves before it reads or writes anything.
    if (vandrel::ClaimSingleInstance("VandrelTest") == vandrel::InstanceClaim::AlreadyRunning) return 0;

    vandrel::QtShell shell(std::move(about));
    vandrel::StartUp(p, shell, true);
    vandrel::QtMainWindow window(p, shell);
    shell.SetWindow(&window);
    QObject::connect(&window, &vandrel::QtMainWindow::quitConfirmed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    app.exec();
    shell.SetWindow(nullptr);
    return 0;
}
