#include "app/qt/QtShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>

#include "app/qt/PreviewWindow.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtPrintSurface.h"
#include "app/qt/QtText.h"
#include "app/qt/SettingsDialog.h"
#include "app/qt/QtWidgets.h"

namespace vandrel {

namespace {

QString Shown(std::string_view bytes) {
    QString text = ToQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Where the help files are looked for, in order: the folder of the executable
// (a build), then the help folder of an installed program.
QStringList HelpFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.path(), QDir::cleanPath(program.filePath(QStringLiteral(VANDREL_HELP_FROM_BIN)))};
}

// Whether the desktop names a program for the file's type (xdg-mime, from the
// freedesktop.org tools that the desktop's opener uses too).
bool DesktopHasHandlerFor(const QString& path) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(path).name()});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

// Keeps a widget hidden whatever shows it again: Qt's print dialog shows its
// page range when the user opens its options, whatever its options say.
class KeepHidden : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) QMetaObject::invokeMethod(watched, "hide", Qt::QueuedConnection);
        return false;
    }
};

// The printouts have every page: no control of the print dialog offers a page
// range, a page set (odd or even pages), the selection or the current page.
void RemovePageChoices(QPrintDialog& dialog) {
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    auto* keeper = new KeepHidden(&dialog);
    for (const char* name : {"gbPrintRange", "printRange", "from", "to", "pagesRadioButton", "pagesLineEdit",
                             "printSelection", "printCurrentPage", "pageSetLabel", "pageSetCombo"}) {
        for (QWidget* widget : dialog.findChildren<QWidget*>(QLatin1String(name))) {
            widget->setEnabled(false);
            widget->hide();
            widget->installEventFilter(keeper);
        }
    }
}

}  // namespace

QString QtNameFilters(std::string_view filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        const QString own = QStringLiteral("(") + pattern + QStringLiteral(")");
        if (description.endsWith(own)) description.chop(own.size());
        description = description.trimmed();
        const QString qtPattern = pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
        filters.append(description + QStringLiteral(" (") + qtPattern + QStringLiteral(")"));
    }
    return filters.join(QStringLiteral(";;"));
}

QtShell::QtShell(AboutResources about) : about_(std::move(about)) {}

QWidget* QtShell::DialogParent() const { return window_; }

std::string QtShell::AskOpenPath(const OpenDialogRequest& request) {
    QFileDialog dialog(DialogParent(), Shown(request.title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = QtNameFilters(request.filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
    if (request.defaultFile.empty()) {
        dialog.setDirectory(QDir::currentPath());
    } else {
        const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(request.defaultFile)));
        dialog.setDirectory(file.absolutePath());
        dialog.selectFile(file.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

void QtShell::ShowMessage(const Message& message) {
    QMessageBox::Icon icon = QMessageBox::Warning;
    switch (message.icon) {
        case MessageIcon::Warning: icon = QMessageBox::Warning; break;
        case MessageIcon::Error: icon = QMessageBox::Critical; break;
        case MessageIcon::Information: icon = QMessageBox::Information; break;
        case MessageIcon::Question: icon = QMessageBox::Question; break;
    }
    QMessageBox box(icon, Shown(message.title), Shown(message.text), QMessageBox::Ok, DialogParent());
    box.exec();
}

bool QtShell::AskYesNo(const Message& question) {
    QMessageBox box(QMessageBox::Question, Shown(question.title), Shown(question.text),
                    QMessageBox::Yes | QMessageBox::No, DialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtShell::RunSettingsDialog(Language& uiLanguage) {
    SettingsDialog dialog(uiLanguage, DialogParent());
    dialog.exec();
    uiLanguage = dialog.Chosen();
}

void QtShell::ShowAbout(Language uiLanguage) {
    AboutWindow window(uiLanguage, about_, DialogParent());
    window.exec();
}

bool QtShell::OpenHelpFile(const std::string& name) {
    QString path;
    for (const QString& folder : HelpFolders()) {
        path = QDir(folder).filePath(QFile::decodeName(name.c_str()));
        if (QFileInfo(path).isFile()) break;
        path.clear();
    }
    if (path.isEmpty()) return false;
    // The desktop's opener starts and reports success even when no program is
    // set up for the file's type; then nothing would open and the viewer below
    // would never be tried. So the desktop is asked first.
    const QUrl url = QUrl::fromLocalFile(path);
    const bool desktopHasHandler = DesktopHasHandlerFor(path);
    if (desktopHasHandler && QDesktopServices::openUrl(url)) return true;
    if (QProcess::startDetached(QStringLiteral("xchm"), {path})) return true;
    // No viewer either: a desktop that could not be asked may still open it.
    return !desktopHasHandler && QDesktopServices::openUrl(url);
}

std::unique_ptr<PrintSurface> QtShell::AskPrinter(const std::string& jobName) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(ToQString(jobName));
    QPrintDialog dialog(printer.get(), DialogParent());
    RemovePageChoices(dialog);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    // Every page is printed whatever range was chosen; copies are the printer's business.
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(0, 0);
    return std::make_unique<QtPrintSurface>(std::move(printer));
}

void QtShell::StatusChanged() {
    if (window_) window_->PaintStatusNow();
}

void QtShell::ShowPreview() {
    if (!window_) return;
    if (!preview_) {
        preview_ = new PreviewWindow(window_->State(), *window_);
        // Beside the main window, never over File 1's keyframe list.
        QWidget* list = window_->Control(ids::KeyframeList1);
        PlaceBeside(preview_, window_, QRect(list->mapToGlobal(QPoint(0, 0)), list->size()));
    }
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

}  // namespace vandrel
