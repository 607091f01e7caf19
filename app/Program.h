#pragma once
// The whole program state shared by the window and vandrel-cli, and the small
// interface through which commands reach dialogs and the screen.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindowLayout.h"
#include "app/SavedFiles.h"
#include "app/UndoHistory.h"
#include "clipboard/Workspace.h"
#include "output/DateStamp.h"

namespace vandrel {

struct ControlState {
    std::string text;
    std::string tip;
    bool enabled = true;
};

struct MenuItemState {
    std::string text;
    bool enabled = true;
};

// What the main window shows, apart from the rows of its lists and the
// statistics texts, which it takes from the workspace.
struct WindowState {
    std::array<ControlState, kControlCount> controls;
    std::array<MenuItemState, kMenuItemCount> menu;
    std::array<std::string, kStatusFieldCount> status;
};

enum class MessageIcon { Warning, Error, Information, Question };

struct Message {
    std::string title;  // with its leading blank
    std::string text;   // lines joined by CR LF
    MessageIcon icon = MessageIcon::Warning;
};

struct OpenDialogRequest {
    std::string title;
    std::string filter;  // "description|pattern|description|pattern"
    std::string defaultFile;
};

class PrintSurface;

// Dialogs and the screen, as the commands need them. The window answers with
// real dialogs; vandrel-cli and tests answer from a script. By default every
// dialog is cancelled, answered No or shows nothing.
class Shell {
public:
    virtual ~Shell() = default;
    // The chosen path; empty when the dialog was cancelled.
    virtual std::string AskOpenPath(const OpenDialogRequest&) { return {}; }
    virtual void ShowMessage(const Message&) {}
    // Yes/No question; true for Yes.
    virtual bool AskYesNo(const Message&) { return false; }
    // The Settings dialog: may change the language (OK, Apply) or not (Cancel, close).
    virtual void RunSettingsDialog(Language& /*uiLanguage*/) {}
    virtual void ShowAbout(Language /*uiLanguage*/) {}
    // Opens a help file with the desktop's viewer; false when nothing opened it.
    virtual bool OpenHelpFile(const std::string&) { return false; }
    // The print dialog; null when cancelled. The surface draws the pages.
    virtual std::unique_ptr<PrintSurface> AskPrinter(const std::string& /*jobName*/);
    // The status bar changed and must be on the screen before a long command runs.
    virtual void StatusChanged() {}
    // View > Preview: shows the preview window (a window program only).
    virtual void ShowPreview() {}
};

struct Program {
    Workspace ws;
    WindowState window;
    Language UiLanguage = Language::English;
    std::string HelpFileName;
    std::string SettingsFileName = "Vandrel.ini";
    Clock clock;
    bool QuitRequested = false;
    std::vector<Message> shownMessages;  // every message box, in order
    UndoHistory history;
    SavedFiles saved;
};

}  // namespace vandrel
