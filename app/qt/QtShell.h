#pragma once
// The dialogs and the screen for the commands, on Qt.
#include <QPointer>
#include <QString>
#include <string>
#include <string_view>

#include "app/Program.h"
#include "app/qt/AboutWindow.h"

class QWidget;

namespace vandrel {

class QtMainWindow;
class PreviewWindow;

// The open dialog's filter "description|pattern|description|pattern" as Qt
// name filters joined by ";;". A pattern "*.*" means every file, as it does in
// the filter's own words, so it becomes "*" (which also lists names without a
// dot); a description that already ends in its pattern in brackets keeps it.
QString QtNameFilters(std::string_view filter);

class QtShell : public Shell {
public:
    explicit QtShell(AboutResources about);

    // The main window, once it exists: dialogs open over it and the busy text
    // is painted in its status bar.
    void SetWindow(QtMainWindow* window) { window_ = window; }

    std::string AskOpenPath(const OpenDialogRequest& request) override;
    void ShowMessage(const Message& message) override;
    bool AskYesNo(const Message& question) override;
    void RunSettingsDialog(Language& uiLanguage) override;
    void ShowAbout(Language uiLanguage) override;
    // Opens the help file, from the folder of the executable or the installed
    // help folder, with the desktop's opener or else a known help viewer.
    bool OpenHelpFile(const std::string& name) override;
    std::unique_ptr<PrintSurface> AskPrinter(const std::string& jobName) override;
    void StatusChanged() override;
    // Opens the one preview window beside the main window, or brings it to the front.
    void ShowPreview() override;

protected:
    QWidget* DialogParent() const;

private:
    AboutResources about_;
    QtMainWindow* window_ = nullptr;
    QPointer<PreviewWindow> preview_;  // owned by the main window
};

}  // namespace vandrel
