#pragma once
// The main window on Qt: a skin over the program state. It draws what the state
// says and hands every button, menu item and close request to the dispatch.
#include <QMainWindow>
#include <QMargins>
#include <array>

#include "app/Program.h"

class QLabel;
class QAction;
class QScrollArea;

namespace vandrel {

class QtMainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window, its controls, menu bar and status bar over the state
    // that StartUp prepared, centred on the screen; it is not shown yet.
    QtMainWindow(Program& p, Shell& shell, QWidget* parent = nullptr);

    // Draws everything from the state: texts, tooltips, enabled states, the
    // rows of the three lists with their selection, statistics and status bar.
    void Render();
    // Draws only the status bar and puts it on the screen at once.
    void PaintStatusNow();

    // Runs the command of a menu item or a button as the event loop does, then
    // draws the new state. A command that arrives while another runs waits for it.
    void RunMenuCommand(int menuId);
    void RunControlCommand(int controlId);

    // The widgets, for the shell's dialogs and for tests. The client area holds
    // the controls; the status bar lies below it.
    QWidget* ClientArea() const { return client_; }
    QWidget* Control(int id) const { return controls_[size_t(id)]; }
    QLabel* StatusField(int field) const { return status_[size_t(field)]; }
    QAction* MenuAction(int menuId) const { return menuActions_[size_t(menuId)]; }
    // The state it draws, for the windows that show more of it.
    const Program& State() const { return p_; }

signals:
    // The user answered Yes to the quit question.
    void quitConfirmed();
    // A command ran and the window shows its outcome.
    void commandFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildStatusBar();
    void BuildMenuBar();
    void RenderControl(int id);
    void RenderList(int id);
    void RenderStatus();
    void RenderMenu();
    void TakeSelection(int listId);
    template <class Command>
    void RunCommand(Command&& command);
    void AfterCommand();
    void FitToScreen();

    Program& p_;
    Shell& shell_;
    QWidget* client_ = nullptr;
    QScrollArea* scroll_ = nullptr;  // holds the client area; scrolls on a small screen
    QWidget* statusBar_ = nullptr;   // below it, at the bottom edge of the window
    QMargins fittedFrame_;           // the window frame the last fit to the screen knew
    std::array<QWidget*, kControlCount> controls_{};
    std::array<QAction*, kMenuItemCount> menuActions_{};
    std::array<QLabel*, kStatusFieldCount> status_{};
    bool changed_[2] = {false, false};  // the files with unsaved changes, as last drawn
    bool inCommand_ = false;
    bool closePending_ = false;
};

}  // namespace vandrel
