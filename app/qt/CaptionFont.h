#pragma once
// Captions that fit their controls. A control shows its caption in the
// platform's default GUI font; only where the caption is wider than the control
// allows does that control take the same font at the largest size that fits.
#include <QString>

class QWidget;

namespace vandrel {

// The width a button, label, group box or text field needs to show `caption`
// whole in its current font: the text's advance plus the style's margins.
int CaptionWidth(const QWidget* control, const QString& caption);

// Gives the control, whose caption is already set, the default font or, where
// the caption does not fit in that, the default font at the largest size (in
// steps of a quarter point) at which it fits.
// A bold caption (a file with unsaved changes) is fitted in the bold font.
void FitCaptionFont(QWidget* control, const QString& caption, bool bold = false);

}  // namespace vandrel
