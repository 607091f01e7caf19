#include "app/Commands.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "app/MainWindow.h"
#include "app/PrintCommands.h"
#include "app/Settings.h"
#include "app/Texts.h"
#include "clipboard/Clipboard.h"
#include "clipboard/WorkspaceChecks.h"
#include "model/ModelReader.h"
#include "model/Text.h"
#include "output/ModelWriter.h"

namespace vandrel {

namespace {

// Paths the saved-file record still needs: those of the slots and of the undo steps.
void ForgetUnusedSavedFiles(Program& p) {
    std::set<std::string> paths{p.ws.File(1).Path, p.ws.File(2).Path};
    p.history.ForEachState([&](const WorkspaceState& state) {
        for (const auto& file : state.files) paths.insert(file->fields.Path);
    });
    p.saved.KeepOnly(paths);
}

// In the sanitizer build, every command ends by checking the line sets it
// leaves, and stops the program on the first broken rule.
void CheckWorkspace([[maybe_unused]] const Workspace& ws) {
#ifdef VANDREL_CHECK_WORKSPACE
    if (const std::string fault = WorkspaceFault(ws); !fault.empty()) {
        std::fprintf(stderr, "workspace check failed: %s\n", fault.c_str());
        std::abort();
    }
#endif
}

template <class Command>
void Bracketed(Program& p, Shell& shell, Command&& command) {
    BusyIndicator(p, shell, true);
    command();
    for (LineSet* set : {static_cast<LineSet*>(&p.ws.File(1)), static_cast<LineSet*>(&p.ws.File(2)),
                         static_cast<LineSet*>(&p.ws.Clip)})
        set->ModelLines.DropUnusedTexts();
    ForgetUnusedSavedFiles(p);
    BusyIndicator(p, shell, false);
    RefreshMainWindow(p);
    CheckWorkspace(p.ws);
}

// A command of the Clipboard: recorded for Undo when it changed anything.
template <class Command>
void Recorded(Program& p, Shell& shell, Command&& command) {
    Bracketed(p, shell, [&] {
        p.history.Begin(p.ws);
        command();
        p.history.End(p.ws, false);
    });
}

void OpenCommand(Program& p, Shell& shell, int n) {
    p.history.Begin(p.ws);
    ReadSettings(p);
    ModelSlot& slot = p.ws.File(n);
    OpenDialogRequest request{Tr(n == 1 ? texts::OpenDialogTitle1 : texts::OpenDialogTitle2, p.UiLanguage),
                              Tr(texts::OpenDialogFilter, p.UiLanguage), slot.DialogDefault};
    const std::string path = shell.AskOpenPath(request);
    const OpenResult result = OpenModel(p.ws, n, path, [&] {
        p.window.controls[size_t(ControlsOfFile(n).pathField)].text = slot.Path;
        WriteSettings(p);
    });
    if (result != OpenResult::Opened) {
        p.history.Cancel();
        if (result == OpenResult::NotAModel)
            ShowMessage(p, shell, {Tr(texts::HintTitle, p.UiLanguage), Tr(texts::OnlyMilkShapeFiles, p.UiLanguage),
                                   MessageIcon::Warning});
        else if (result == OpenResult::Unreadable)
            ShowMessage(p, shell, {Tr(texts::ErrorTitle, p.UiLanguage),
                                   Tr(texts::FileLabel, p.UiLanguage) + std::string(FileNameOf(path)) +
                                       Tr(texts::CannotBeRead, p.UiLanguage),
                                   MessageIcon::Error});
    } else {
        EnableFileCommands(p, n);
        p.saved.Remember(slot);
        p.history.End(p.ws, true);
    }
    ShowCompatibility(p);
}

// Undo or Redo: the files and the Clipboard as the step holds them, shown as an
// open shows them; a step that was an Open writes the settings as an Open does.
void UndoCommand(Program& p, bool redo) {
    bool wasOpen = false;
    if (!(redo ? p.history.Redo(p.ws, wasOpen) : p.history.Undo(p.ws, wasOpen))) return;
    for (int n : {1, 2}) {
        p.window.controls[size_t(ControlsOfFile(n).pathField)].text = p.ws.File(n).Path;
        if (!p.ws.File(n).Path.empty()) EnableFileCommands(p, n);
    }
    if (wasOpen) WriteSettings(p);
    ShowCompatibility(p);
}

Message NotSavedMessage(const Program& p, std::string_view path) {
    return {Tr(texts::ErrorTitle, p.UiLanguage),
            Tr(texts::FileLabel, p.UiLanguage) + std::string(FileNameOf(path)) +
                Tr(texts::IsWriteProtected, p.UiLanguage) + std::string(texts::LineEnd) +
                Tr(texts::CannotBeSaved, p.UiLanguage),
            MessageIcon::Error};
}

void SaveCommand(Program& p, Shell& shell, int n) {
    ModelSlot& slot = p.ws.File(n);
    const SaveResult result = SaveModel(slot, p.saved.BaselineFor(slot.Path), p.clock.Now(), p.UiLanguage);
    if (result != SaveResult::ModelNotWritten) p.saved.Remember(slot);
    switch (result) {
        case SaveResult::Saved: break;
        case SaveResult::ModelNotWritten: ShowMessage(p, shell, NotSavedMessage(p, slot.Path)); break;
        case SaveResult::SidecarNotWritten: ShowMessage(p, shell, NotSavedMessage(p, slot.SidecarPath)); break;
    }
}

void SettingsCommand(Program& p, Shell& shell) {
    shell.RunSettingsDialog(p.UiLanguage);
    WriteSettings(p);
    RebuildTexts(p);
}

void ShowHelp(Program& p, Shell& shell) {
    const std::string name = p.HelpFileName.empty() ? Tr(texts::HelpFileName, Language::English) : p.HelpFileName;
    if (!shell.OpenHelpFile(name))
        ShowMessage(p, shell, {Tr(texts::HintTitle, p.UiLanguage),
                               Tr(texts::HelpFileLabel, p.UiLanguage) + name + Tr(texts::CannotBeOpened, p.UiLanguage),
                               MessageIcon::Warning});
}

}  // namespace

void ShowMessage(Program& p, Shell& shell, Message message) {
    p.shownMessages.push_back(message);
    shell.ShowMessage(message);
}

void StartUp(Program& p, Shell& shell, bool showAboutOnFirstStart) {
    // A save over the file-size limit must fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const bool settingsFound = ReadInitialLanguage(p);
    if (!settingsFound && showAboutOnFirstStart) shell.ShowAbout(p.UiLanguage);
    BuildMainWindow(p);
    p.ws.File(1).Path.clear();
    p.ws.File(2).Path.clear();
    ReadSettings(p);
    p.window.controls[ids::PathField1].text = p.ws.File(1).Path;
    p.window.controls[ids::PathField2].text = p.ws.File(2).Path;
    DisableStartUpCommands(p);
    BusyIndicator(p, shell, false);
}

bool ControlEnabled(const Program& p, int controlId) {
    return controlId >= 0 && controlId < kControlCount && p.window.controls[size_t(controlId)].enabled;
}

bool MenuItemEnabled(const Program& p, int menuId) {
    return menuId >= 0 && menuId < kMenuItemCount && p.window.menu[size_t(menuId)].enabled;
}

void HandleCloseRequest(Program& p, Shell& shell) {
    // Nothing is saved on quitting: the question names the files that would lose changes.
    std::string question = QuitQuestion(p.UiLanguage);
    for (int n : {1, 2})
        if (FileChanged(p, n))
            question += std::string(texts::LineEnd) + UnsavedChangesLine(n, p.ws.File(n).Path, p.UiLanguage);
    if (shell.AskYesNo({Tr(texts::QuitTitle, p.UiLanguage), question, MessageIcon::Question}))
        p.QuitRequested = true;
}

bool HandleMenu(Program& p, Shell& shell, int menuId) {
    if (!MenuItemEnabled(p, menuId)) return false;
    switch (menuId) {
        case menu::OpenFile1: Bracketed(p, shell, [&] { OpenCommand(p, shell, 1); }); break;
        case menu::OpenFile2: Bracketed(p, shell, [&] { OpenCommand(p, shell, 2); }); break;
        case menu::SaveFile1: Bracketed(p, shell, [&] { SaveCommand(p, shell, 1); }); break;
        case menu::SaveFile2: Bracketed(p, shell, [&] { SaveCommand(p, shell, 2); }); break;
        case menu::PrintStatistics1: Bracketed(p, shell, [&] { PrintStatistics(p, shell, 1); }); break;
        case menu::PrintKeyframes1: Bracketed(p, shell, [&] { PrintKeyframes(p, shell, 1); }); break;
        case menu::PrintStatistics2: Bracketed(p, shell, [&] { PrintStatistics(p, shell, 2); }); break;
        case menu::PrintKeyframes2: Bracketed(p, shell, [&] { PrintKeyframes(p, shell, 2); }); break;
        case menu::Settings: Bracketed(p, shell, [&] { SettingsCommand(p, shell); }); break;
        case menu::Quit: HandleCloseRequest(p, shell); break;
        case menu::HelpContents: ShowHelp(p, shell); break;
        case menu::About: shell.ShowAbout(p.UiLanguage); break;
        case menu::Preview: shell.ShowPreview(); break;
        case menu::Undo: Bracketed(p, shell, [&] { UndoCommand(p, false); }); break;
        case menu::Redo: Bracketed(p, shell, [&] { UndoCommand(p, true); }); break;
        default: return false;
    }
    return true;
}

bool HandleControl(Program& p, Shell& shell, int controlId) {
    if (!ControlEnabled(p, controlId)) return false;
    Workspace& ws = p.ws;
    switch (controlId) {
        case ids::OpenButton1: return HandleMenu(p, shell, menu::OpenFile1);
        case ids::OpenButton2: return HandleMenu(p, shell, menu::OpenFile2);
        case ids::SaveButton1: Bracketed(p, shell, [&] { SaveCommand(p, shell, 1); }); break;
        case ids::SaveButton2: Bracketed(p, shell, [&] { SaveCommand(p, shell, 2); }); break;
        case ids::CutButton1: Recorded(p, shell, [&] { CutToClipboard(ws, 1); }); break;
        case ids::CutButton2: Recorded(p, shell, [&] { CutToClipboard(ws, 2); }); break;
        case ids::CopyButton1: Recorded(p, shell, [&] { CopyToClipboard(ws, 1); }); break;
        case ids::CopyButton2: Recorded(p, shell, [&] { CopyToClipboard(ws, 2); }); break;
        case ids::PasteButton1: Recorded(p, shell, [&] { PasteFromClipboard(ws, 1); }); break;
        case ids::PasteButton2: Recorded(p, shell, [&] { PasteFromClipboard(ws, 2); }); break;
        case ids::ClipboardOkButton:
            Recorded(p, shell, [&] {
                const auto& c = p.window.controls;
                EditClipboard(ws, c[ids::AtField].text, c[ids::StepwidthField].text, c[ids::CommentField].text);
                RebuildBoneList(ws.Clip);
            });
            break;
        default: return false;
    }
    return true;
}

}  // namespace vandrel
