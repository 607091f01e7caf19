#pragma once
// Small pieces shared by the main window and the dialogs.
#include <QImage>
#include <QMargins>

#include <vector>

class QLineEdit;
class QMainWindow;
class QScrollArea;
class QWidget;

namespace vandrel {

// A read-only text field without a border that looks like a label.
QLineEdit* MakeBorderlessField(QWidget* parent);

// Places a top-level window in the middle of its screen.
void CentreOnScreen(QWidget* window);

// Sizes and places a fixed-size main window whose client area lies in `scroll`,
// with a bar of `below` pixels under it (the status bar) and `frame` the window
// manager's frame around it. Where the free area of its screen holds the whole
// window, the client area shows whole and the window is centred; otherwise the
// window takes the free area, no pixel beyond it at any scale, its title bar,
// menu bar and status bar on the screen, and the client area scrolls.
void FitWindowToScreen(QMainWindow* window, QScrollArea* scroll, int below, const QMargins& frame);

// Places a top-level window beside `main` on main's screen: right of it where
// the free area has room, else left of it; where neither side has room, at the
// edge of the screen farther from `keep` (a part of main that must stay in
// sight), as far from it as the screen allows.
void PlaceBeside(QWidget* window, const QWidget* main, const QRect& keep);

// The frame a window manager is likely to put around a window it has not framed
// yet: a title bar and a thin border.
QMargins LikelyWindowFrame(const QWidget* window);

// Tab goes through the controls as one reads the window: row by row from the
// top, left to right in a row. A row is the topmost control left and every
// control whose middle lies within its height.
void SetReadingTabOrder(std::vector<QWidget*> controls);

// Window flags for a fixed dialog with a title bar and a close button only.
void MakeFixedDialog(QWidget* dialog, int clientWidth, int clientHeight);

}  // namespace vandrel
