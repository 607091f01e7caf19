// Opens a help file as the help command does, looking for it from wherever this
// program file lies: copied into an installed bin/ folder, it finds the
// installed help. Exit code 0 when something opened it.
//   vandrel_help_probe NAME
#include <QApplication>

#include "app/qt/QtShell.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    vandrel::QtShell shell(vandrel::AboutResources{});
    return shell.OpenHelpFile(argv[1]) ? 0 : 1;
}
