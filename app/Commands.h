#pragma once
// The command dispatch: every menu item and button of the main window runs one
// fixed sequence of operations, bracketed by the busy indicator and followed by
// the refresh of the window. The window and vandrel-cli both come through here.
#include "app/Program.h"

namespace vandrel {

// The start-up steps after the single-instance guard: language, About window on
// a first start (when `showAboutOnFirstStart`), window state, settings, ready text.
void StartUp(Program& p, Shell& shell, bool showAboutOnFirstStart);

// Whether the button or menu item is enabled now; a disabled one does nothing.
bool ControlEnabled(const Program& p, int controlId);
bool MenuItemEnabled(const Program& p, int menuId);

// Runs the command of a menu item (ids 0 to 11) or a button; false when the
// item or button is disabled or raises no command.
bool HandleMenu(Program& p, Shell& shell, int menuId);
bool HandleControl(Program& p, Shell& shell, int controlId);

// The close request of the main window: the quit question.
void HandleCloseRequest(Program& p, Shell& shell);

// Shows a message box and keeps it in the program's record of shown messages.
void ShowMessage(Program& p, Shell& shell, Message message);

}  // namespace vandrel
