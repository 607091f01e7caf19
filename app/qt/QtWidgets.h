#pragma once
// Small pieces shared by the main window and the dialogs.
#include <QImage>

class QLineEdit;
class QWidget;

namespace vandrel {

struct RgbPicture;

// A read-only text field without a border that looks like a label.
QLineEdit* MakeBorderlessField(QWidget* parent);

// Places a top-level window in the middle of its screen.
void CentreOnScreen(QWidget* window);

// Window flags for a fixed dialog with a title bar and a close button only.
void MakeFixedDialog(QWidget* dialog, int clientWidth, int clientHeight);

// The decoded pixels as an image (a copy).
QImage ToQImage(const RgbPicture& picture);

}  // namespace vandrel
